#pragma once
#include "sim/device_config.h"
#include "sim/sim_bus.h"

#include <cstdint>
#include <string>
#include <vector>

namespace getkelo::sim {

// The EEPROM image a first-generation device starts with: eight temperature tick tables,
// amplifier gain and heater power, unit and digits, flow limits, zero cut, scaling and gas,
// at the byte offsets the device keeps them (device addresses 0x0000 to 0x1310).
inline constexpr int kSimImageSize = 0x1311;
std::vector<uint8_t> initialServiceImage(const DeviceConfig& config);

// The ASCII service protocol of first-generation devices on one byte stream, in front of
// the RTU framer. It listens for its commands in every byte, all of which pass on to the
// framer (which skips the command text) except the bytes of an image being written.
//
//   "REEPROM=0x1310"       (line end optional) answered by "REEPROM=130D\r\n", the 4881
//                          image bytes and a CRC-16 of them (low byte first)
//   "WEEPROM=1310\r\n"     followed by 4881 image bytes, answered by "WEEPROM=1310\r\n"
//                          and "OK\r\n"; other lengths are answered "ERROR\r\n"
//
// Every first-generation device on the bus hears the protocol (it has no address); two of
// them answering at once garble the answer. A device told ServiceFault::StopHalfway sends
// or takes only half of an image and then says nothing; ServiceFault::WrongLine answers a
// read with another header and a write with "ERROR" (and keeps its image).
class ServiceLink {
  public:
    void push(SimBus& bus, const uint8_t* data, int length, std::vector<uint8_t>& modbus,
              std::vector<BusAnswer>& answers);
    void clear();
    bool receivingImage() const { return imageExpected_ > 0; }

  private:
    enum class Held { More, Complete, NotACommand };
    // Adds a byte to the command line being recognised.
    Held hold(uint8_t byte);
    void finishCommand(SimBus& bus, std::vector<BusAnswer>& answers);
    void answerRead(SimBus& bus, std::vector<BusAnswer>& answers);
    void imageComplete(SimBus& bus, std::vector<BusAnswer>& answers);

    std::string held_;      // a command line being recognised
    int imageExpected_ = 0; // bytes of an image still to come (all listeners)
    int imageLimit_ = 0;    // bytes a listener that stops halfway still takes
    std::vector<uint8_t> image_;
};

} // namespace getkelo::sim
