#include "console/forms/device_list_model.h"

#include "console/device_list.h"

namespace getkelo {

DeviceListModel::DeviceListModel(const DeviceList& list, QObject* parent)
    : QAbstractTableModel(parent), list_(list) {
    rows_ = list_.count();
    revision_ = list_.revision();
}

int DeviceListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int DeviceListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kDeviceColumns;
}

QVariant DeviceListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    if (role == Qt::DisplayRole)
        return QString::fromStdString(list_.cell(index.row() + 1, index.column()));
    if (role == Qt::TextAlignmentRole) {
        switch (index.column()) {
        case kColAddress:
        case kColRange:
        case kColFlow:
        case kColTemperature:
        case kColTotal:
            return int(Qt::AlignRight | Qt::AlignVCenter);
        default:
            return int(Qt::AlignLeft | Qt::AlignVCenter);
        }
    }
    return {};
}

QVariant DeviceListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical) return section + 1;
    return QString::fromStdString(list_.header(section));
}

bool DeviceListModel::refresh() {
    if (list_.revision() == revision_) return false;
    revision_ = list_.revision();
    const int now = list_.count();
    if (now > rows_) {
        // Rows are appended at the end (scan, start-up); the selection stays where it is.
        beginInsertRows({}, rows_, now - 1);
        rows_ = now;
        endInsertRows();
    } else if (now < rows_) {
        // A silent device may leave from the middle; the cells below are repainted anyway.
        beginRemoveRows({}, now, rows_ - 1);
        rows_ = now;
        endRemoveRows();
    }
    if (rows_ > 0) emit dataChanged(index(0, 0), index(rows_ - 1, kDeviceColumns - 1));
    emit headerDataChanged(Qt::Horizontal, 0, kDeviceColumns - 1);
    return true;
}

} // namespace getkelo
