#include "config/setup_layout.h"

#include <string>

namespace getkelo {
namespace {

constexpr uint8_t F = kTypeFloat;
constexpr uint8_t S16 = kTypeInt16;
constexpr uint8_t U16 = kTypeUInt16;
constexpr uint8_t U32 = kTypeUInt32;
constexpr uint8_t T7 = kTypeText8;
constexpr uint8_t T50 = kTypeText50;

uint8_t registersOf(uint8_t type) {
    switch (type) {
    case F:
    case U32:
        return 2;
    case T7:
        return 4;
    case T50:
        return 25;
    default:
        return 1;
    }
}

std::vector<SetupKey> sensorRegisters() {
    // "SensorReg0" .. "SensorReg20" at 0x5400 + N; the names live as long as the program.
    static const std::vector<std::string> names = [] {
        std::vector<std::string> n;
        for (int i = 0; i <= 20; ++i)
            n.push_back("SensorReg" + std::to_string(i));
        return n;
    }();
    std::vector<SetupKey> keys;
    for (int i = 0; i <= 20; ++i)
        keys.push_back({names[i].c_str(), static_cast<uint16_t>(0x5400 + i), U16});
    keys.push_back({"SensorSn", 0x5415, U32});
    return keys;
}

} // namespace

RegisterDescriptor SetupKey::descriptor() const {
    return makeDescriptor(reg, registersOf(type), type);
}

const std::vector<SetupRead>& setupReads() {
    static const std::vector<SetupRead> reads = {
        {0x000E, 0, {{"ControlMode", 0x000E, U16}}},
        {0x0013, 0, {{"ModBusAdress", 0x0013, U16}}},
        {0x001E,
         13,
         {{"SerialNumber", 0x001E, U32},
          {"HardwareVersion", 0x0020, U16},
          {"SoftwareVersion", 0x0021, U16},
          {"DeviceTypeCode1", 0x0023, T7},
          {"SelectSccmTicks", 0x0027, U16},
          {"SetAnalogOut", 0x0028, F},
          {"SetDac", 0x002A, U16}}},
        {0x1004,
         14,
         {{"DeviceTypeCode2", 0x1004, T7}, {"TempUnit", 0x100A, T7}, {"PressUnit", 0x100E, T7}}},
        {0x4040,
         4,
         {{"PowerUp", 0x4040, U16},
          {"PowerUpSetpoint", 0x4041, F},
          {"TotalisatorMode", 0x4043, U16}}},
        {0x404E,
         6,
         {{"DetectorMode", 0x404E, U16},
          {"EepromMode", 0x4050, U16},
          {"ReverseFlowDetection", 0x4051, F}}},
        {0x4082,
         6,
         {{"FunctionsSelected", 0x4082, U32},
          {"AnalogSignalOut", 0x4084, U16},
          {"AnalogSignalIn", 0x4085, U16},
          {"AlarmDelay", 0x4087, U16}}},
        {0x4122,
         10,
         {{"PwmFull", 0x4122, U32},
          {"PwmLin", 0x4124, U16},
          {"ValvePulse", 0x4125, U16},
          {"FunctionsAvailable", 0x4128, U32},
          {"Pwm1", 0x412A, U16},
          {"Pwm2", 0x412B, U16}}},
        {0x4130,
         10,
         {{"DacCurrent_k0", 0x4130, S16},
          {"DacCurrent_k1", 0x4131, F},
          {"AdcCurrent_k0", 0x4133, U16},
          {"AdcCurrent_k1", 0x4134, F},
          {"AdcVoltage_k0", 0x4136, U16},
          {"AdcVoltage_k1", 0x4137, F},
          {"LutSelect", 0x4139, U16}}},
        {0x5000, 0, {{"TagName", 0x5000, T50}}},
        {0x5100, 2, {{"ModbusHiLoSwap", 0x5100, U16}, {"AnalogInvert", 0x5101, U16}}},
        {0x5200, 0, {{"Baudrate", 0x5200, U16}}},
        {0x5300, 2, {{"EepromSize", 0x5300, U16}, {"LUT_Count", 0x5301, U16}}},
        {0x5400, 23, sensorRegisters()},
        {0x5420,
         3,
         {{"ResolutionFlow", 0x5420, U16},
          {"SensorReg8Default", 0x5421, U16},
          {"SensorReg9Default", 0x5422, U16}}},
        {0x5500,
         21,
         {{"VoltageOutActive", 0x5500, U16},
          {"DacVoltage_k0", 0x5501, S16},
          {"DacVoltage_k1", 0x5502, F},
          {"VoltageInActive", 0x5504, U16},
          {"CurrentInUserMin", 0x5505, F},
          {"CurrentInUserMax", 0x5507, F},
          {"VoltageInUserMin", 0x5509, F},
          {"VoltageInUserMax", 0x550B, F},
          {"CurrentOutUserMin", 0x550D, F},
          {"CurrentOutUserMax", 0x550F, F},
          {"VoltageOutUserMin", 0x5511, F},
          {"VoltageOutUserMax", 0x5513, F}}},
        {0x5900, 2, {{"ProfibusAdress", 0x5900, U16}, {"Profibus_No_Add_Chg", 0x5901, U16}}},
        {0x5C08,
         9,
         {{"FilterType", 0x5C08, U16},
          {"FilterFactor", 0x5C09, U16},
          {"TickFilter", 0x5C0A, U16},
          {"MeasureFilter", 0x5C0B, U16},
          {"FilterSamplesFirst", 0x5C0C, U16},
          {"FilterBand", 0x5C0D, F},
          {"FilterSamplesNext", 0x5C0F, U16},
          {"FilterChange", 0x5C10, U16}}},
        {0x5D00,
         16,
         {{"Scale_k0_Tv", 0x5D00, F},
          {"Scale_k1_Tv", 0x5D02, F},
          {"Scale_k0_Kp", 0x5D04, F},
          {"Scale_k1_Kp", 0x5D06, F},
          {"Scale_k0_Tn", 0x5D08, F},
          {"Scale_k1_Tn", 0x5D0A, F},
          {"Scale_k0_N", 0x5D0C, F},
          {"Scale_k1_N", 0x5D0E, F}}},
        {0x5E00,
         7,
         {{"Scaled_Kp", 0x5E00, F},
          {"Scaled_Tn", 0x5E02, F},
          {"Scaled_Tv", 0x5E04, F},
          {"Scaled_N", 0x5E06, U16}}},
    };
    return reads;
}

const std::vector<SetupRead>& setupLutReads() {
    static const std::vector<SetupRead> reads = {
        {0x6000, 3, {{"LookupIdent", 0x6000, U32}, {"LookupInfo", 0x6002, U16}}},
        {0x6010, 0, {{"SensorId", 0x6010, U32}}},
        {0x6020, 27, {{"FlowRange", 0x6020, F}, {"GasName", 0x6022, T50}}},
        {0x6042,
         14,
         {{"Gas", 0x6042, T7},
          {"FlowUnit", 0x6046, T7},
          {"RefPressure", 0x604A, F},
          {"RefTemp", 0x604C, F},
          {"Density", 0x604E, F}}},
        {0x6100,
         14,
         {{"kn_sccm", 0x6100, F},
          {"kn_Unit", 0x6102, F},
          {"kn_Scale", 0x6104, F},
          {"Offset_k0", 0x6106, F},
          {"Offset_k1", 0x6108, F},
          {"OffsetComp_k0", 0x610A, F},
          {"OffsetComp_k1", 0x610C, F}}},
        {0x6120,
         5,
         {{"Gain", 0x6120, U16},
          {"HeatPower", 0x6121, U16},
          {"Dynamic", 0x6122, U16},
          {"CutOff", 0x6123, F}}},
        {0x6140,
         8,
         {{"TempCalib", 0x6140, F},
          {"TempOperate", 0x6142, F},
          {"PressureIn", 0x6144, F},
          {"PressureOut", 0x6146, F}}},
        {0x6300, 4, {{"Temp_k0", 0x6300, F}, {"Temp_k1", 0x6302, F}}},
        {0x6380,
         10,
         {{"Totalisator", 0x6380, F},
          {"TotalisatorN", 0x6382, F},
          {"TotalisatorScale", 0x6384, F},
          {"TotalisatorUnit", 0x6386, T7}}},
        {0x6200, 0, {{"PidSelect", 0x6200, U16}}},
    };
    return reads;
}

const std::vector<SetupKey>& setupPidKeys() {
    static const std::vector<SetupKey> keys = {
        {"Tv_", 0x6202, F}, {"Kp_", 0x6204, F}, {"Tn_", 0x6206, F}, {"N_", 0x6208, U16}};
    return keys;
}

} // namespace getkelo
