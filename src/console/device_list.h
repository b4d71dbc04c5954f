#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace getkelo {

// Columns of the device list grid.
enum DeviceColumn : int {
    kColAddress = 0,
    kColSerial = 1,
    kColTypeCode = 2,
    kColGas = 3,
    kColRange = 4,
    kColFlow = 5,
    kColUnit = 6,
    kColTemperature = 7,
    kColDegrees = 8, // always "°C"
    kColTotal = 9,
    kColTotalUnit = 10,
    kColLogMark = 11, // " x" when the device is logged
    kColMixMark = 12, // " x" when the device belongs to a mixer
};
inline constexpr int kDeviceColumns = 13;

// The grid shows 31 device rows below its header; a bus with more devices keeps the first 31
// (the scan reports the others as not taken).
inline constexpr int kMaxDevices = 31;

// Function flags of a device.
inline constexpr uint32_t kFnController = 1u << 0; // setpoint and valve
inline constexpr uint32_t kFnTotalizer = 1u << 1;
inline constexpr uint32_t kFnReverseFlow = 1u << 2;
inline constexpr uint32_t kFnProfibus = 1u << 4;
inline constexpr uint32_t kFnPressure = 1u << 5;

// What the console knows of one listed device beyond its cells.
struct skelo {
    uint8_t address = 0;
    uint32_t functions = 0;
    std::string hardwareVersion;
    std::string softwareVersion;
    std::string unit; // flow unit, at most 11 characters
    float setpoint = 0;
    float valve = 0;
};

// The device list the scan, the polling, the logger and the mixer share; the console's grid is
// a view of it. Row 0 holds the column captions, rows 1..count() one device each, every row
// with its record; rows and records always move together. Every change that a view would show
// raises revision(), so a view repaints only when the number moved.
class DeviceList {
  public:
    DeviceList();

    int count() const { return static_cast<int>(rows_.size()) - 1; }
    bool full() const { return count() >= kMaxDevices; }

    // Appends an empty device row ("°C" in its column 8); returns its row, or 0 when full.
    int appendRow();
    // Removes a device row; the rows below move up one, with their records.
    void removeRow(int row);
    // Empties every row below the header; count() becomes 0.
    void clearDevices();

    // Cells outside the list read as "" and ignore writes.
    const std::string& cell(int row, int column) const;
    void setCell(int row, int column, const std::string& text);
    const std::string& header(int column) const { return cell(0, column); }
    void setHeader(int column, const std::string& text) { setCell(0, column, text); }

    // Records of rows 1..count(); any other row gives a scratch record that is never kept.
    skelo& record(int row);
    const skelo& record(int row) const;

    // The grid's selected row (1..count() while the list holds devices, otherwise 1).
    int selectedRow() const { return selected_; }
    void setSelectedRow(int row);

    // The first row whose column 0 holds this address, or 0.
    int findAddress(int address) const;

    bool marked(int row, int column) const { return !cell(row, column).empty(); }

    // Raised by every change a view shows (cells, rows, selection).
    uint64_t revision() const { return revision_; }
    // Lets code that changed a record (not a cell) tell views to repaint.
    void touch() { ++revision_; }

  private:
    using Row = std::array<std::string, kDeviceColumns>;
    std::vector<Row> rows_;
    std::vector<skelo> records_;
    mutable skelo scratch_;
    int selected_ = 1;
    uint64_t revision_ = 0;
};

} // namespace getkelo
