#pragma once
#include <QAbstractTableModel>
#include <QStringList>

namespace getkelo {

class BusMonitor;

// The monitor's rows for a table view: time, direction, bytes, result, meaning. Each row is decoded
// when the view paints it, so only the visible rows cost anything.
class BusMonitorModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    enum Column { Time, Direction, Bytes, Result, Meaning, ColumnCount };

    explicit BusMonitorModel(BusMonitor& monitor, QObject* parent = nullptr);

    // Takes what the monitor's refresh changed; true when rows were added at the end.
    bool update();
    void setHeaders(const QStringList& headers);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    BusMonitor& monitor_;
    int shown_ = 0;
    QStringList headers_;
};

} // namespace getkelo
