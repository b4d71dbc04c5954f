#pragma once
#include <array>
#include <cstdint>

namespace getkelo {

// Modbus RTU carries no transaction number: two reads of the same length from one device
// cannot be told apart by their bytes. After an exchange with a device went wrong (no
// answer, part of one, noise, a duplicate or a stale answer seen), its late answer may still
// be on the way and would pass for the next one. Such a device is "fenced": before its next
// request, a fence read goes out whose answer length no recent request to it can have. A
// device answers in request order, so once the fence's answer is in, nothing older can
// follow, and the request in hand gets its own answer. A healthy device is never fenced, so
// a normal exchange costs nothing more; a fenced one costs one more short read.
class StaleAnswerGuard {
  public:
    // Register block of the fence: the identity block every device answers in the bus scan.
    static constexpr uint16_t kFenceRegister = 0x001E;

    bool fenced(uint8_t slave) const { return devices_[slave].fenced; }
    // Something went wrong with this device, or stray bytes were seen after talking to it.
    void suspect(uint8_t slave);
    // A fenced exchange went cleanly; after two in a row the device is trusted again.
    void cleanExchange(uint8_t slave);
    // A function 03 request went out: its answer of this byte count may still come.
    void readSent(uint8_t slave, int byteCount);
    // Register count of the fence read: its answer length differs from the recent reads
    // and from the read in hand (byteCount -1 when the request in hand is no read).
    uint8_t fenceCount(uint8_t slave, int byteCountInHand) const;

  private:
    static constexpr int kCleanToTrust = 2;
    struct Device {
        bool fenced = false;
        uint8_t clean = 0;
        std::array<int, 3> recent{-1, -1, -1}; // byte counts of the last reads sent
        uint8_t next = 0;
    };
    std::array<Device, 256> devices_{};
};

} // namespace getkelo
