#pragma once
#include "sim/sim_bus.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace getkelo::sim {

// Our test firmware files. The device layer sends a firmware file unchanged and reads nothing
// out of it; the simulated bootloader does: a test image starts with one marker line
//
//   "GKFW <version> <length> <crc>\n"
//
// version: the software version word the device runs after the update, four hex digits
// ("0437" = 4.3.7); length: the whole file in bytes, decimal (the bootloader knows from it
// where the image ends); crc: CRC-16/MODBUS of the bytes after the line, four hex digits (a
// byte lost or sent twice shows). The bytes after the line are filler.
struct FirmwareMarker {
    uint16_t version = 0;
    size_t length = 0;
    uint16_t crc = 0;
    size_t headerLength = 0; // the marker line with its line feed
};
// The marker at the start of an image; nullopt when the bytes do not start with one (yet).
std::optional<FirmwareMarker> parseFirmwareMarker(const uint8_t* data, size_t length);
// A test image of `length` bytes (at least the marker line) for software `version`.
std::vector<uint8_t> makeTestFirmware(uint16_t version, size_t length);

// The bootloader of series-4 devices on one byte stream, in front of the service protocol
// and the RTU framer. A device in its bootloader (after a soft reset for a while, or for good
// when its firmware is missing) wakes on "QTX" and answers "BOOTLOADER" and its version;
// from then on it owns the line: "UPDATE" + LF is answered "SEND FILE", the image follows,
// "UPDATE OK" confirms it, "RUN" + LF is answered "RUN" and starts the (new) firmware.
//
// With flow control on (a serial line) the bootloader writes its flash slower than the line
// delivers: above a high-water mark in its buffer it sends XOFF and XON once it has caught
// up; bytes beyond the buffer are lost, and a lost byte turns "UPDATE OK" into "Error:".
class BootloaderLink {
  public:
    static constexpr const char* kVersion = "V4.0.02"; // the seven characters after BOOTLOADER
    // A pseudo-terminal holds up to 64 KiB between the writer and the simulator, bytes that
    // are on their way when XOFF goes out; the buffer takes them. A sender that ignores XOFF
    // overruns it within a few hundred kilobytes.
    static constexpr size_t kBufferBytes = 128 * 1024;
    static constexpr size_t kHighWater = 4096;
    static constexpr size_t kLowWater = 1024;
    static constexpr int kFlashBytesPerMs = 128;

    void setFlowControl(bool on) { flowControl_ = on; }
    // Bytes a bootloader in session takes are kept from `passOn`; all others pass.
    void push(SimBus& bus, const uint8_t* data, int length, std::vector<uint8_t>& passOn,
              std::vector<BusAnswer>& answers);
    void clear();

  private:
    enum class Stage { Command, Image, Dropped };
    void wake(SimBus& bus, int64_t now, std::vector<BusAnswer>& answers);
    void commandLine(int64_t now, std::vector<BusAnswer>& answers);
    void imageByte(uint8_t b, int64_t now, std::vector<BusAnswer>& answers);
    void imageComplete(std::vector<BusAnswer>& answers);
    void drain(int64_t now);

    SimDevice* device_ = nullptr; // the bootloader in session on this stream
    Stage stage_ = Stage::Command;
    std::string line_;
    std::vector<uint8_t> image_;
    std::optional<FirmwareMarker> marker_;
    uint16_t newVersion_ = 0; // of the last image taken
    int errorsLeft_ = 0;
    // Flow control.
    bool flowControl_ = false;
    double buffered_ = 0;
    int64_t lastMs_ = 0;
    int64_t xonAtMs_ = -1; // XOFF sent, XON due then
    bool lost_ = false;
};

} // namespace getkelo::sim
