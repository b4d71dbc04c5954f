#include "sim/calibration_model.h"
#include "sim/fault_commands.h"
#include "sim/sim_registers.h"
#include "sim_support.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace getkelo::sim::test {
namespace {

double num(const std::string& s) {
    return std::atof(s.c_str());
}

constexpr RegisterDescriptor kTicks = makeDescriptor(0x0000, 2, kTypeUInt32);
constexpr RegisterDescriptor kSlot0Offset = makeDescriptor(0x0940, 1, kTypeInt16);

TEST(SimCalibration, SensorCurveInvertsTheFactoryTable) {
    for (double step : {0.0, 17.5, 64.0, 128.0})
        EXPECT_NEAR(sensorStep(factoryTableValue(step), 0), step, 1e-9);
    EXPECT_NEAR(factoryTableValue(sensorStep(0.5, 0.02)), 0.51, 1e-12);
}

TEST(SimCalibration, DeviceReadsHighTheReferenceTrueAndTicksShowTheZeroError) {
    DemoBus d;
    d.bus.addDevice(referenceMeter(6, 3));
    ASSERT_EQ(d.write(3, reg::kSetpoint, "10"), "ok");
    d.advance(20000);
    const double device = num(d.read(3, reg::kFlow)), reference = num(d.read(6, reg::kFlow));
    EXPECT_NEAR(reference, 10, 0.02);
    // 2 % from the curve, a little more from the zero error the offset -12 leaves (37 ticks).
    EXPECT_NEAR(device / reference, 1.0225, 0.002);
    ASSERT_EQ(d.write(3, reg::kSetpoint, "0"), "ok");
    d.advance(20000);
    d.unlock(3);
    ASSERT_EQ(d.write(3, reg::kSelectSccmTicks, "1"), "ok");
    EXPECT_NEAR(num(d.read(3, kTicks)), 32768 + 25, 3);
    ASSERT_EQ(d.write(3, reg::kSelectSccmTicks, "0"), "ok");
    ASSERT_EQ(d.write(3, kSlot0Offset, "25"), "ok");
    ASSERT_EQ(d.write(3, reg::kSetpoint, "10"), "ok");
    d.advance(20000);
    EXPECT_NEAR(num(d.read(3, reg::kFlow)) / num(d.read(6, reg::kFlow)), 1.02, 0.002);
}

TEST(SimCalibration, AnalogInputFollowsTheAppliedSignalThroughItsCoefficients) {
    DemoBus d;
    EXPECT_EQ(runFaultCommand(d.bus, "analog 3 x"), "error: analog: signal?");
    ASSERT_EQ(runFaultCommand(d.bus, "analog 3 10").rfind("ok analog 3 10", 0), 0u);
    // 1.5 % low and 0.06 mA up, read through k0 41 and k1 0.9981.
    EXPECT_NEAR(num(d.read(3, reg::kAnalogValue)), 0.9981 * (9.85 + 0.06 - 41 * 20.0 / (1 << 20)),
                1e-4);
}

} // namespace
} // namespace getkelo::sim::test
