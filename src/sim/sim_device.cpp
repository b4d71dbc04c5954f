#include "sim/sim_device.h"

#include "comm/value_codec.h"
#include "sim/analog_model.h"
#include "sim/calibration_model.h"
#include "sim/controller_tuning.h"
#include "sim/sim_registers.h"
#include "sim/sim_series4_pages.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace getkelo::sim {

uint16_t slotBank(int slot) {
    return static_cast<uint16_t>(1 + slot);
}
uint16_t pidBank(int slot, int set) {
    return static_cast<uint16_t>(0x100 + slot * 8 + set);
}
uint16_t pressurePidBank(int slot, int set) {
    return static_cast<uint16_t>(0x300 + slot * 8 + set);
}
uint16_t oldPidBank(int set) {
    return static_cast<uint16_t>(0x400 + set);
}

namespace {

constexpr int kRestartMs = 1000;
constexpr int kFirmwareStartMs = 500; // from "RUN" to the first Modbus answer

bool overlaps(uint16_t start, int count, RegisterDescriptor d) {
    int first = descRegister(d), last = first + descCount(d) - 1;
    return start <= last && start + count - 1 >= first;
}

// Volume of one unit of a flow or total unit text, in litres (mass units count as litres:
// the totalizer only needs the ratio of a flow unit to its own total unit).
double litresOf(std::string u) {
    for (auto& c : u)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (u.rfind("m3", 0) == 0) return 1000;
    if (u.rfind("ml", 0) == 0 || u.rfind("sccm", 0) == 0 || u == "g" || u.rfind("g/", 0) == 0)
        return 0.001;
    return 1;
}

// Minutes per time unit of a flow unit text ("ln/min", "ln/h", "sccm", "slm").
double minutesPerUnitTime(std::string u) {
    for (auto& c : u)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    auto slash = u.find('/');
    if (slash == std::string::npos) return 1; // sccm, slm: per minute
    std::string t = u.substr(slash + 1);
    if (t.rfind("h", 0) == 0) return 60;
    if (t.rfind("s", 0) == 0) return 1.0 / 60;
    return 1;
}

} // namespace

SimDevice::SimDevice(const DeviceConfig& config, int64_t nowMs)
    : config_(config), address_(config.address),
      model_(config.timeConstantMs, config.noise, config.seed), lastMs_(nowMs) {}

void SimDevice::define(uint16_t reg, int count, uint8_t flags, uint16_t bank) {
    for (int i = 0; i < count; ++i)
        cells_[key(bank, static_cast<uint16_t>(reg + i))].flags = flags;
}

void SimDevice::put(RegisterDescriptor d, const std::string& text, uint16_t bank) {
    uint8_t bytes[2 * 256] = {};
    TextToValue(bytes, descType(d), text);
    for (int i = 0; i < descCount(d); ++i) {
        // Only defined registers take values: a value never creates a register.
        auto it = cells_.find(key(bank, static_cast<uint16_t>(descRegister(d) + i)));
        if (it != cells_.end())
            it->second.value = static_cast<uint16_t>(bytes[2 * i] << 8 | bytes[2 * i + 1]);
    }
}

std::string SimDevice::get(RegisterDescriptor d, uint16_t bank) const {
    uint8_t bytes[2 * 256 + 2] = {};
    for (int i = 0; i < descCount(d); ++i) {
        auto it = cells_.find(key(bank, static_cast<uint16_t>(descRegister(d) + i)));
        uint16_t v = it == cells_.end() ? 0 : it->second.value;
        bytes[2 * i] = static_cast<uint8_t>(v >> 8);
        bytes[2 * i + 1] = static_cast<uint8_t>(v);
    }
    return ValueToText(bytes, descType(d));
}

std::string SimDevice::visible(RegisterDescriptor d) const {
    return get(d, bankOf(descRegister(d)));
}

bool SimDevice::has(uint16_t reg) const {
    return cell(reg) != nullptr;
}

int SimDevice::activeSlot() const {
    auto it = cells_.find(key(kBankNone, descRegister(reg::kLutSelect)));
    return it == cells_.end() ? 0 : it->second.value;
}

uint16_t SimDevice::bankOf(uint16_t r) const {
    auto selector = [&](RegisterDescriptor d) {
        auto it = cells_.find(key(kBankNone, descRegister(d)));
        return it == cells_.end() ? 0 : int(it->second.value);
    };
    if (config_.generation != Generation::Series4) {
        if (r >= reg::kOldPidWindowFirst && r <= reg::kOldPidWindowLast &&
            config_.generation != Generation::First)
            return oldPidBank(selector(reg::kPidSetOld));
        return kBankNone;
    }
    // Slot selector 0 shows the active slot.
    int slot = selector(reg::kSlotSelector);
    if (slot == 0) slot = activeSlot();
    if (r >= reg::kPidWindowFirst && r <= reg::kPidWindowLast)
        return pidBank(slot, selector(reg::kPidSetSelector));
    if (r >= reg::kSlotWindowFirst && r <= reg::kSlotWindowLast) return slotBank(slot);
    if (r >= reg::kPressPidWindowFirst && r <= reg::kPressPidWindowLast)
        return pressurePidBank(slot, selector(reg::kPressSetSelector));
    return kBankNone;
}

SimDevice::Cell* SimDevice::cell(uint16_t r) {
    auto it = cells_.find(key(bankOf(r), r));
    return it == cells_.end() ? nullptr : &it->second;
}

const SimDevice::Cell* SimDevice::cell(uint16_t r) const {
    auto it = cells_.find(key(bankOf(r), r));
    return it == cells_.end() ? nullptr : &it->second;
}

uint16_t SimDevice::word(uint16_t r) const {
    const Cell* c = cell(r);
    return c ? c->value : 0;
}

ModelInputs SimDevice::inputs() const {
    ModelInputs in;
    auto number = [&](RegisterDescriptor d, double def) {
        if (!has(descRegister(d))) return def;
        return std::atof(visible(d).c_str());
    };
    uint32_t functions = config_.generation == Generation::First
                             ? config_.functions
                             : static_cast<uint32_t>(number(reg::kFunctionsSelected, 0));
    in.controller = functions & reg::kFnController;
    uint16_t mode = word(descRegister(reg::kControlMode));
    in.pressureControl = (functions & reg::kFnPressure) && (mode == 5 || mode == 6);
    // Control modes that hold the valve: 2 at the written value, 10 closed, 20 open.
    if (mode == 2) in.valveHeld = fixedValve_;
    if (mode == 10) in.valveHeld = 0;
    if (mode == 20) in.valveHeld = 100;
    in.range = number(reg::kRange, config_.range);
    in.setpoint = number(reg::kSetpoint, 0);
    in.pressureSetpoint = number(reg::kPressSetpoint, 0);
    in.pressureFull = number(reg::kPressScaleFull, config_.pressureRange);
    in.meterFlow = config_.meterFlow;
    in.alarmDelayS = number(reg::kAlarmDelay, 0);
    std::string unit = visible(reg::kFlowUnitText);
    std::string total = has(descRegister(reg::kTotalizerUnitText))
                            ? visible(reg::kTotalizerUnitText)
                            : config_.totalizerUnit;
    in.totalizerFactor = litresOf(unit) / litresOf(total) / minutesPerUnitTime(unit);
    in.flowTuning = flowTuningOf(*this);
    in.pressureTuning = pressureTuningOf(*this);
    return in;
}

void SimDevice::sync(int64_t nowMs) {
    ModelInputs in = inputs();
    model_.advance(in, nowMs - lastMs_);
    lastMs_ = nowMs;
    auto putFloat = [&](RegisterDescriptor d, double v) {
        float f = static_cast<float>(v);
        uint32_t bits;
        std::memcpy(&bits, &f, 4);
        if (Cell* c = cell(descRegister(d))) c->value = static_cast<uint16_t>(bits >> 16);
        if (Cell* c = cell(descRegister(d) + 1)) c->value = static_cast<uint16_t>(bits);
    };
    double flow = model_.flowReading(in);
    if (config_.tableSensor) {
        if (ticksSelected(*this)) {
            put(makeDescriptor(descRegister(reg::kFlow), 2, kTypeUInt32),
                std::to_string(rawTicks(*this, flow)));
            flow = std::nan("");
        } else {
            flow = tableReading(*this, flow);
        }
    }
    double cutOff = has(descRegister(reg::kCutOff)) ? std::atof(visible(reg::kCutOff).c_str()) : 0;
    if (flow > -cutOff && flow < cutOff) flow = 0;
    if (!std::isnan(flow)) putFloat(reg::kFlow, flow);
    putFloat(reg::kTemperature, model_.temperatureReading());
    putFloat(reg::kTotalizer, model_.totalizer());
    putFloat(reg::kValve, model_.valve());
    if (Cell* c = cell(descRegister(reg::kAlarmWord))) c->value = model_.alarms();
    if (Cell* c = cell(descRegister(reg::kReverseFlowWord))) {
        double limit = std::atof(visible(reg::kReverseFlowLimit).c_str());
        uint16_t w = 0;
        if (model_.flow() < 0) w |= 1;
        if (model_.flow() < -limit / 100.0 * in.range) w |= 2;
        c->value = w;
    }
    if (has(descRegister(reg::kPressure))) putFloat(reg::kPressure, model_.pressureReading(in));
    if (config_.analogIo) putFloat(reg::kAnalogValue, analogInputReading(*this));
}

double SimDevice::analogOutputNow(int64_t nowMs) {
    sync(nowMs);
    return analogOutput(*this, model_.flow());
}

double SimDevice::trueFlow(int64_t nowMs) {
    sync(nowMs);
    return model_.flow();
}

uint8_t SimDevice::readRegisters(uint16_t start, int count, uint8_t* out, int64_t nowMs) {
    if (count < 1 || count > kMaxReadRegisters) return kExIllegalValue;
    for (int i = 0; i < count; ++i)
        if (!cell(static_cast<uint16_t>(start + i))) return kExIllegalAddress;
    sync(nowMs);
    for (int i = 0; i < count; ++i) {
        uint16_t v = word(static_cast<uint16_t>(start + i));
        out[2 * i] = static_cast<uint8_t>(v >> 8);
        out[2 * i + 1] = static_cast<uint8_t>(v);
    }
    return 0;
}

uint8_t SimDevice::checkValue(uint16_t r, uint16_t v) const {
    bool s4 = config_.generation == Generation::Series4;
    int slots = config_.slotCount;
    bool ok = true;
    if (r == descRegister(reg::kModbusAddress))
        ok = v >= 1 && v <= 247;
    else if (r == descRegister(reg::kSlotSelector))
        ok = v <= slots;
    else if (r == descRegister(reg::kPidSetSelector) || r == descRegister(reg::kPressSetSelector) ||
             r == descRegister(reg::kPressActiveSet) || r == descRegister(reg::kPidSetOld) ||
             (s4 && r == descRegister(reg::kSlotPidSelect)))
        ok = v < reg::kPidSets;
    else if (r == descRegister(reg::kLutSelect))
        ok = s4 ? v >= 1 && v <= slots : v < slots;
    return ok ? 0 : kExIllegalValue;
}

uint8_t SimDevice::writeRegisters(uint16_t start, int count, const uint8_t* data, int64_t nowMs) {
    if (count < 1 || count > kMaxWriteRegisters) return kExIllegalValue;
    uint8_t locked = 0;
    for (int i = 0; i < count; ++i) {
        const Cell* c = cell(static_cast<uint16_t>(start + i));
        if (!c || (c->flags & kRegReadOnly)) return kExIllegalAddress;
        if ((c->flags & kRegProtected) && !unlocked_) locked = kExLocked;
    }
    if (locked) return locked;
    for (int i = 0; i < count; ++i) {
        uint8_t e = checkValue(static_cast<uint16_t>(start + i),
                               static_cast<uint16_t>(data[2 * i] << 8 | data[2 * i + 1]));
        if (e) return e;
    }
    if (uint8_t e = series4PageValueCheck(*this, start, count, data)) return e;
    sync(nowMs); // the model ran on the old values up to now
    for (int i = 0; i < count; ++i)
        cell(static_cast<uint16_t>(start + i))->value =
            static_cast<uint16_t>(data[2 * i] << 8 | data[2 * i + 1]);
    afterWrite(start, count, nowMs);
    return 0;
}

void SimDevice::afterWrite(uint16_t start, int count, int64_t nowMs) {
    if (overlaps(start, count, reg::kValve)) fixedValve_ = std::atof(visible(reg::kValve).c_str());
    if (overlaps(start, count, reg::kTotalizer))
        model_.setTotalizer(std::atof(visible(reg::kTotalizer).c_str()));
    if (overlaps(start, count, reg::kModbusAddress))
        address_ = static_cast<uint8_t>(word(descRegister(reg::kModbusAddress)));
    if (overlaps(start, count, reg::kAccessCode)) {
        unlocked_ = visible(reg::kAccessCode) == reg::kAccessCodeText;
        put(reg::kAccessCode, "0"); // the code is never read back
    }
    if (overlaps(start, count, reg::kAlarmReset)) {
        if (word(descRegister(reg::kAlarmReset)) == 65535) model_.clearAlarms();
        put(reg::kAlarmReset, "0");
        if (Cell* c = cell(descRegister(reg::kAlarmWord))) c->value = model_.alarms();
    }
    if (overlaps(start, count, reg::kLutSelect) && config_.generation == Generation::Series4)
        showActiveSlotIdentity();
    lutWritten(start, count);
    if (overlaps(start, count, reg::kSoftReset)) {
        bool reset = word(descRegister(reg::kSoftReset)) == 1;
        put(reg::kSoftReset, "0");
        if (reset) restart(nowMs);
    }
}

bool SimDevice::startFirmware(int64_t nowMs, uint16_t newSoftware) {
    bootSession_ = false;
    bootListenUntilMs_ = 0;
    if (newSoftware) {
        put(reg::kSoftwareVersion, std::to_string(newSoftware));
        bootResident_ = false;
    }
    if (bootResident_) return false;
    restartUntilMs_ = nowMs + kFirmwareStartMs;
    model_.restart();
    unlocked_ = false;
    return true;
}

void SimDevice::restart(int64_t nowMs) {
    restartUntilMs_ = nowMs + kRestartMs;
    // The bootloader listens while the device restarts.
    if (config_.generation == Generation::Series4) bootListenUntilMs_ = restartUntilMs_;
    model_.restart();
    unlocked_ = false;
    restoreLookupTables();
    bool powerUp = has(descRegister(reg::kPowerUp)) && word(descRegister(reg::kPowerUp)) != 0;
    if (has(descRegister(reg::kSetpoint)))
        put(reg::kSetpoint, powerUp ? visible(reg::kPowerUpSetpoint) : "0");
    for (auto sel : {reg::kSlotSelector, reg::kPidSetSelector, reg::kPressSetSelector})
        if (has(descRegister(sel))) put(sel, "0");
}

void SimDevice::showActiveSlotIdentity() {
    // The identity block shows range, unit and gas of the active lookup-table slot.
    uint16_t bank = slotBank(activeSlot());
    put(reg::kRange, get(reg::kSlotRange, bank));
    put(reg::kFlowUnitText, get(reg::kSlotFlowUnit, bank));
    put(reg::kGasText, get(reg::kSlotGas, bank));
}

} // namespace getkelo::sim
