#pragma once
#include "comm/register_descriptor.h"
#include "sim/device_config.h"
#include "sim/flow_model.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace getkelo::sim {

// Modbus exception codes the simulated devices answer.
inline constexpr uint8_t kExIllegalFunction = 0x01; // a function the devices do not have
inline constexpr uint8_t kExIllegalAddress =
    0x02;                                        // register the device does not have, or read-only
inline constexpr uint8_t kExIllegalValue = 0x03; // malformed request, bad count, refused value
inline constexpr uint8_t kExLocked = 0x04;       // protected register while the device is locked

// Register flags.
inline constexpr uint8_t kRegProtected = 1u << 0; // writable only after the access code
inline constexpr uint8_t kRegReadOnly = 1u << 1;  // measured values; writes are refused

// Bank numbers of register windows whose contents depend on a selector.
inline constexpr uint16_t kBankNone = 0;
uint16_t slotBank(int slot);
uint16_t pidBank(int slot, int set);
uint16_t pressurePidBank(int slot, int set);
uint16_t oldPidBank(int set);

// Faults a device can be told to show.
enum class Fault { None, Silent, BadCrc, Short, Late };
// Faults of the ASCII service protocol of the first generation (service_protocol.h).
enum class ServiceFault { None, StopHalfway, WrongLine };
// Faults of the series-4 bootloader (bootloader.h): no answer to "UPDATE", "Error:" to the
// first two, a stop in the middle of the image, XOFF held for a while in the middle of it.
enum class BootFault { None, NoAnswer, ErrorTwice, StopHalfway, HoldXoff };

// One device on the simulated bus: its register map with protection and selector windows,
// and its physical model. All time comes in as milliseconds from the bus's clock.
class SimDevice {
  public:
    SimDevice(const DeviceConfig& config, int64_t nowMs);

    const DeviceConfig& config() const { return config_; }
    uint8_t address() const { return address_; }
    bool unlocked() const { return unlocked_; }
    // Restarting after a soft reset, or in its bootloader: answers no Modbus request.
    bool restarting(int64_t nowMs) const {
        return nowMs < restartUntilMs_ || bootSession_ || bootResident_;
    }

    // Series 4: after a soft reset the bootloader listens for its wake-up word for a while;
    // once woken it keeps the line until "RUN". A device without working firmware stays in
    // its bootloader for good.
    bool inBootloader(int64_t nowMs) const {
        return bootSession_ || bootResident_ || nowMs < bootListenUntilMs_;
    }
    bool bootSession() const { return bootSession_; }
    void openBootSession() { bootSession_ = true; }
    // Leaves the bootloader and starts the firmware; a new software version word (non-zero)
    // comes with a new image. False when there is no firmware to start.
    bool startFirmware(int64_t nowMs, uint16_t newSoftware);
    // The firmware is gone: only the bootloader answers (until an image is run).
    void setFirmwareMissing(bool missing) { bootResident_ = missing; }
    bool firmwareMissing() const { return bootResident_; }
    BootFault bootFault() const { return bootFault_; }
    int bootFaultMs() const { return bootFaultMs_; }
    void setBootFault(BootFault f, int ms = 0) {
        bootFault_ = f;
        bootFaultMs_ = ms;
    }

    // Function 03: fills 2 x count bytes; returns 0 or an exception code.
    uint8_t readRegisters(uint16_t start, int count, uint8_t* out, int64_t nowMs);
    // Functions 06 and 16: all registers or none; returns 0 or an exception code.
    uint8_t writeRegisters(uint16_t start, int count, const uint8_t* data, int64_t nowMs);

    // Faults (kept by the device, so they follow it through an address change).
    Fault fault() const { return fault_; }
    int lateMs() const { return lateMs_; }
    void setFault(Fault f, int lateMs = 0) {
        fault_ = f;
        lateMs_ = lateMs;
    }

    // First generation: the EEPROM image behind the ASCII service protocol.
    std::vector<uint8_t>& serviceImage() { return serviceImage_; }
    ServiceFault serviceFault() const { return serviceFault_; }
    void setServiceFault(ServiceFault f) { serviceFault_ = f; }

    // Lookup tables before series 4 (lut_memory.cpp): what a restart brings back. With
    // "EepromMode" 0 a table written reaches the EEPROM only with the store command.
    void storeLookupTables();
    bool lookupTablesStored() const { return unstoredLutWrites_ == 0; }

    // Model knobs for tests and the fault commands.
    void setGasSupply(bool on) { model_.setGasSupply(on); }
    void setMeterFlow(double flow) { config_.meterFlow = flow; }
    // The signal applied to the analog set-point input (analog_model.h).
    void setAnalogInput(double signal) { config_.analogInput = signal; }
    // What the analog output puts out now.
    double analogOutputNow(int64_t nowMs);
    const FlowModel& model() const { return model_; }
    // The flow through the device now, without the errors of its sensor.
    double trueFlow(int64_t nowMs);

    // Building the register map (device profiles).
    void define(uint16_t reg, int count, uint8_t flags, uint16_t bank = kBankNone);
    void put(RegisterDescriptor d, const std::string& text, uint16_t bank = kBankNone);
    std::string get(RegisterDescriptor d, uint16_t bank = kBankNone) const;
    // The register as a read through the selectors would see it now (no model update).
    std::string visible(RegisterDescriptor d) const;
    bool has(uint16_t reg) const;

  private:
    struct Cell {
        uint16_t value = 0;
        uint8_t flags = 0;
    };
    static uint32_t key(uint16_t bank, uint16_t reg) { return uint32_t(bank) << 16 | reg; }
    uint16_t bankOf(uint16_t reg) const;
    Cell* cell(uint16_t reg);
    const Cell* cell(uint16_t reg) const;
    uint16_t word(uint16_t reg) const;
    int activeSlot() const;

    void sync(int64_t nowMs);
    ModelInputs inputs() const;
    uint8_t checkValue(uint16_t reg, uint16_t value) const;
    void afterWrite(uint16_t start, int count, int64_t nowMs);
    void restart(int64_t nowMs);
    void showActiveSlotIdentity();
    void lutWritten(uint16_t start, int count);
    void restoreLookupTables();

    DeviceConfig config_;
    uint8_t address_;
    std::unordered_map<uint32_t, Cell> cells_;
    FlowModel model_;
    int64_t lastMs_;
    int64_t restartUntilMs_ = 0;
    int64_t bootListenUntilMs_ = 0;
    bool bootSession_ = false;
    bool bootResident_ = false;
    BootFault bootFault_ = BootFault::None;
    int bootFaultMs_ = 0;
    bool unlocked_ = false;
    Fault fault_ = Fault::None;
    int lateMs_ = 0;
    std::vector<uint8_t> serviceImage_;
    ServiceFault serviceFault_ = ServiceFault::None;
    std::unordered_map<uint32_t, uint16_t> storedLut_;
    int unstoredLutWrites_ = 0;
    double fixedValve_ = 0; // % written to the valve register, held in mode 2
};

} // namespace getkelo::sim
