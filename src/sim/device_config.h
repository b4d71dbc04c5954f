#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace getkelo::sim {

// Device generations the console tells apart.
enum class Generation { First = 1, Second = 2, Third = 3, Series4 = 4 };

// Everything that makes one simulated device; the demo bus and bus files are lists of these.
struct DeviceConfig {
    uint8_t address = 247; // a factory-new device answers at 247
    Generation generation = Generation::Series4;
    std::string software = "4.3.15";
    std::string hardware = "4.1.00";
    uint32_t serial = 0;
    uint32_t functions = 0; // FunctionsSelected flags
    double range = 100;
    std::string unit = "ln/min";
    std::string gas = "N2";
    std::string totalizerUnit = "ln";
    std::string typeCode1 = "GKC4N2A";
    std::string typeCode2 = "A1S0000";
    uint16_t controlMode = 0;
    double pressureRange = 10;
    std::string pressureUnit = "bar";
    int slotCount = 0;           // lookup-table slots (series 4: LUT_Count)
    std::vector<int> usedSlots;  // slots holding a table; the others are empty
    int activeSlot = 0;          // LutSelect
    double meterFlow = 40;       // what a meter measures
    double timeConstantMs = 700; // first-order lag of flow behind the valve
    double noise = 0.001;        // noise amplitude as a fraction of the range
    int answerDelayMs = 0;       // turnaround before the answer leaves
    uint32_t seed = 1;           // noise generator seed
    // Calibration (calibration_model.h): a sensor read through the active lookup table, off
    // the truth by `deviation` with the factory table and by `zeroTicks` at no flow; a meter
    // that shows the true flow through the device at `referenceOf`.
    bool tableSensor = false;
    double deviation = 0;
    int zeroTicks = 0;
    uint8_t referenceOf = 0;
    // Analog I/O (analog_model.h): an output and a set-point input whose gain (fraction) and
    // zero (signal units) errors the coefficients 0x4130.. correct; `analogInput` is the
    // signal applied to the input.
    bool analogIo = false;
    double outGainError = 0, outZeroError = 0;
    double inGainError = 0, inZeroError = 0;
    double analogInput = 0;
};

// Version text "a.b.cc" to the version word a<<8 | b<<4 | c (patch 0..15).
uint16_t versionWord(const std::string& text);

} // namespace getkelo::sim
