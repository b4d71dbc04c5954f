#include "console/forms/bus_monitor_model.h"

#include "comm/bus_decoder.h"
#include "comm/bus_monitor.h"

#include <QBrush>
#include <QFontDatabase>

namespace getkelo {

BusMonitorModel::BusMonitorModel(BusMonitor& monitor, QObject* parent)
    : QAbstractTableModel(parent), monitor_(monitor) {}

bool BusMonitorModel::update() {
    const BusMonitor::Change change = monitor_.refresh();
    if (change.reset) {
        beginResetModel();
        shown_ = monitor_.rowCount();
        endResetModel();
        return shown_ > 0;
    }
    // The monitor has already dropped the front rows, so row i of the model is row i of the
    // monitor at every step below.
    if (change.removedFront > 0) {
        beginRemoveRows({}, 0, change.removedFront - 1);
        shown_ -= change.removedFront;
        endRemoveRows();
    }
    if (change.added > 0) {
        beginInsertRows({}, shown_, shown_ + change.added - 1);
        shown_ += change.added;
        endInsertRows();
    }
    return change.added > 0;
}

void BusMonitorModel::setHeaders(const QStringList& headers) {
    headers_ = headers;
    emit headerDataChanged(Qt::Horizontal, 0, ColumnCount - 1);
}

int BusMonitorModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : shown_;
}

int BusMonitorModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

namespace {

// Laying out text costs more than anything else in the window: a cell gets no more than it
// can show (the details pane and the tooltip have the whole text).
constexpr int kBytesShown = 32;
constexpr qsizetype kMeaningShown = 200;

QString cut(const std::string& text, qsizetype max) {
    QString s = QString::fromStdString(text);
    if (s.size() > max) s = s.left(max - 4) + " ...";
    return s;
}

} // namespace

QVariant BusMonitorModel::data(const QModelIndex& index, int role) const {
    const FrameRecord* f = monitor_.rowFrame(index.row());
    if (!f) return {};
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
        const bool whole = role == Qt::ToolTipRole;
        switch (index.column()) {
        case Time:
            return QString::fromStdString(frameTimeText(*f));
        case Direction:
            return QString::fromLatin1(frameDirectionText(*f));
        case Bytes:
            return cut(frameHexText(*f), whole ? 4096 : kBytesShown * 3 + 4);
        case Result:
            return QString::fromStdString(frameResultText(*f));
        default:
            return cut(frameMeaning(*f, monitor_.frameBefore(*f)), whole ? 4096 : kMeaningShown);
        }
    }
    if (role == Qt::ForegroundRole && frameFailed(*f)) return QBrush(Qt::darkRed);
    if (role == Qt::BackgroundRole && frameFailed(*f)) return QBrush(QColor(255, 228, 228));
    if (role == Qt::FontRole && index.column() == Bytes)
        return QFontDatabase::systemFont(QFontDatabase::FixedFont);
    return {};
}

QVariant BusMonitorModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    return section < headers_.size() ? headers_[section] : QString();
}

} // namespace getkelo
