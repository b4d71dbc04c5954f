#include "console/device_list.h"

namespace getkelo {

namespace {
const std::string kEmpty;
}

DeviceList::DeviceList() : rows_(1), records_(1) {
    rows_[0][kColLogMark] = "L";
    rows_[0][kColMixMark] = "M";
}

int DeviceList::appendRow() {
    if (full()) return 0;
    rows_.emplace_back();
    rows_.back()[kColDegrees] = "°C";
    records_.emplace_back();
    ++revision_;
    return count();
}

void DeviceList::removeRow(int row) {
    if (row < 1 || row > count()) return;
    rows_.erase(rows_.begin() + row);
    records_.erase(records_.begin() + row);
    // The selection stays with its device when a row above it goes.
    if (selected_ > row) --selected_;
    if (selected_ > count()) selected_ = count() < 1 ? 1 : count();
    ++revision_;
}

void DeviceList::clearDevices() {
    rows_.resize(1);
    records_.resize(1);
    selected_ = 1;
    ++revision_;
}

const std::string& DeviceList::cell(int row, int column) const {
    if (row < 0 || row > count() || column < 0 || column >= kDeviceColumns) return kEmpty;
    return rows_[row][column];
}

void DeviceList::setCell(int row, int column, const std::string& text) {
    if (row < 0 || row > count() || column < 0 || column >= kDeviceColumns) return;
    std::string& c = rows_[row][column];
    if (c == text) return;
    c = text;
    ++revision_;
}

skelo& DeviceList::record(int row) {
    if (row < 1 || row > count()) {
        scratch_ = skelo{};
        return scratch_;
    }
    return records_[row];
}

const skelo& DeviceList::record(int row) const {
    if (row < 1 || row > count()) {
        scratch_ = skelo{};
        return scratch_;
    }
    return records_[row];
}

void DeviceList::setSelectedRow(int row) {
    if (row < 1) row = 1;
    if (count() > 0 && row > count()) row = count();
    if (count() == 0) row = 1;
    if (row == selected_) return;
    selected_ = row;
    ++revision_;
}

int DeviceList::findAddress(int address) const {
    for (int r = 1; r <= count(); ++r)
        if (records_[r].address == address) return r;
    return 0;
}

} // namespace getkelo
