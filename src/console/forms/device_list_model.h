#pragma once
#include <QAbstractTableModel>

#include <cstdint>

namespace getkelo {

class DeviceList;

// The grid's view of the device list: view row r is device row r + 1; the list's row 0 gives
// the column headers. refresh() compares the list's revision and tells the view only what
// changed, so polling neither flickers the grid nor moves the focus.
class DeviceListModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    explicit DeviceListModel(const DeviceList& list, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // True when something changed since the last call.
    bool refresh();

  private:
    const DeviceList& list_;
    uint64_t revision_ = ~0ull;
    int rows_ = 0;
};

} // namespace getkelo
