#pragma once
#include <array>
#include <string>

namespace getkelo {

// One device's share of a calibration point: a working area for the run and the per-step
// lists it produced (";"-separated texts).
struct TCalibDeviceSlot {
    std::array<double, 102> work{};
    std::string FlowDevice, SigmaFlowDevice, TempDevice, SigmaTempDevice;
};

inline constexpr int kCalibDeviceSlots = 13;

// The in-memory record of one calibration point (all lists as texts, one entry per step).
struct TCalibPoint {
    bool LeakingTestOK = false;
    std::string SetFlow, FlowRef, SigmaFlowRef, RefUsed, TempIn, TempOut, TempAmb, PressureIn,
        PressureOut, PressureAmb, Humidity, LeakingFlow, LeakingFlowRate;
    std::array<double, 51> work{};
    std::array<TCalibDeviceSlot, kCalibDeviceSlots> devices;

    // Everything empty again, before a run.
    void clear() { *this = TCalibPoint{}; }
};

// Entries of the point information handed to WritePointSection.
enum PointInfoEntry {
    kInfoSection = 0,
    kInfoFile = 1,
    kInfoOperator = 2,
    kInfoRemark = 3,
    kInfoSamples = 4,
    kInfoGas = 5,
    kInfoGasTotal = 6,
    kInfoMode = 7, // "Flow" (check), "Just" (adjustment) or "Ticks"
    kInfoSetTemp = 8,
    kInfoGain = 9,
    kInfoHeatPower = 10, // optional
};

} // namespace getkelo
