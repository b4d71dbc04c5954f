#include "comm/register_names.h"

#include "comm/register_catalogue.h"

#include <algorithm>

namespace getkelo {

namespace {

using namespace reg;

// Sorted by register address.
constexpr NamedRegister kNames[] = {
    {kFlow, "Flow"},
    {kTemperature, "Temperature"},
    {kTotalizer, "Totalizer"},
    {kSetpoint, "Setpoint"},
    {kValve, "Valve"},
    {kReverseFlowWord, "ReverseFlowWord"},
    {kAlarmWord, "AlarmWord"},
    {kControlMode, "ControlMode"},
    {kModbusAddress, "ModBusAdress"},
    {kRange, "Range"},
    {kFlowUnitText, "UnitText"},
    {kGasText, "GasText"},
    {kSerialNumber, "SerialNumber"},
    {kHardwareVersion, "HardwareVersion"},
    {kSoftwareVersion, "SoftwareVersion"},
    {kCommand, "Command"},
    {kTypeCode1, "DeviceTypeCode1"},
    {kSelectSccmTicks, "SelectSccmTicks"},
    {kAccessCode, "AccessCode"},
    {kSoftReset, "SoftReset"},
    {kPidSetOld, "PidSet"},
    {kTypeCode2, "DeviceTypeCode2"},
    {kTempUnit, "TempUnit"},
    {kPressUnit, "PressUnit"},
    {kPowerUp, "PowerUp"},
    {kPowerUpSetpoint, "PowerUpSetpoint"},
    {kTotalizerUnitText, "TotalizerUnitText"},
    {kCutOff, "CutOff"},
    {kDetectorMode, "DetectorMode"},
    {kAlarmReset, "AlarmReset"},
    {kReverseFlowLimit, "ReverseFlowLimit"},
    {kFunctionsSelected, "FunctionsSelected"},
    {kAnalogSignalOut, "AnalogSignalOut"},
    {kAnalogSignalIn, "AnalogSignalIn"},
    {kAlarmDelay, "AlarmDelay"},
    {kConfigKeep, "ConfigKeep"},
    {kLutSelect, "LutSelect"},
    {kTagName, "TagName"},
    {kOutputScaleS4, "OutputScale"},
    {kInputScaleS4, "InputScale"},
    {kPressure, "Pressure"},
    {kPressureUnitText, "PressureUnit"},
    {kPidSetSelector, "PidSetSelector"},
    {kSlotSelector, "SlotSelector"},
    {kLookupIdent, "LookupIdent"},
    {kSlotGasName, "GasName"},
    {kSlotGas, "Gas"},
    {kSlotFlowUnit, "FlowUnit"},
    {kSlotDynamic, "Dynamic"},
    {kSlotPidSelect, "PidSelect"},
    {kPidTv, "Tv_"},
    {kPidKp, "Kp_"},
    {kPidTn, "Tn_"},
    {kPidN, "N_"},
    {kSlotTotalizerUnit, "TotalisatorUnit"},
};

constexpr bool sortedByRegister() {
    for (size_t i = 1; i < std::size(kNames); ++i)
        if (descRegister(kNames[i - 1].descriptor) >= descRegister(kNames[i].descriptor))
            return false;
    return true;
}
static_assert(sortedByRegister(), "kNames must be sorted by register, one name per register");

} // namespace

const NamedRegister* namedRegisterAt(uint16_t reg) {
    auto it = std::lower_bound(
        std::begin(kNames), std::end(kNames), reg,
        [](const NamedRegister& n, uint16_t r) { return descRegister(n.descriptor) < r; });
    if (it == std::end(kNames) || descRegister(it->descriptor) != reg) return nullptr;
    return &*it;
}

} // namespace getkelo
