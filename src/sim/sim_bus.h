#pragma once
#include "sim/device_config.h"
#include "sim/sim_device.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace getkelo {
class Clock;
}

namespace getkelo::sim {

// What the bus sends back for one request: the bytes, and how long after the request they
// leave (the device's turnaround plus an injected delay).
struct BusAnswer {
    std::vector<uint8_t> bytes;
    int delayMs = 0;
};

// The shared RS-485 line with its devices. Every device hears every request; the one whose
// address matches answers, broadcasts (address 0) are applied by all and answered by none.
// Model time is read from the clock at each request.
class SimBus {
  public:
    explicit SimBus(Clock& clock);

    SimDevice& addDevice(const DeviceConfig& config);
    const std::vector<std::unique_ptr<SimDevice>>& devices() const { return devices_; }
    // The device answering at an address now, or nullptr.
    SimDevice* device(uint8_t address) const;

    // One complete request frame including its CRC. Nothing back means silence.
    // Place for the ASCII service protocol of first-generation devices (EEPROM image, lines
    // ending in CR LF), which has no RTU frame: a second entry beside this one will take the
    // bytes the RTU framer cannot use and answer from the device's image.
    std::optional<BusAnswer> handleFrame(const uint8_t* frame, int length);

    // Faults of the device at an address; false when no device answers there.
    bool setFault(uint8_t address, Fault fault, int lateMs = 0);
    // A pulled cable behind the gateway: the whole bus hears and answers nothing.
    void setUnplugged(bool unplugged) { unplugged_ = unplugged; }
    bool unplugged() const { return unplugged_; }

    Clock& clock() const { return clock_; }

  private:
    std::optional<BusAnswer> answerOf(SimDevice& d, const uint8_t* frame, int length, int64_t nowMs,
                                      bool broadcast);

    Clock& clock_;
    std::vector<std::unique_ptr<SimDevice>> devices_;
    bool unplugged_ = false;
};

// Appends the CRC and applies the device's answer fault (wrong CRC, truncated, late).
BusAnswer finishAnswer(std::vector<uint8_t> pdu, const SimDevice& d);

} // namespace getkelo::sim
