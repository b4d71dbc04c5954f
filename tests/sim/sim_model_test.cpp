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

TEST(SimModel, FlowFollowsTheSetpointWithALag) {
    DemoBus d;
    ASSERT_EQ(d.write(1, reg::kSetpoint, "50"), "ok");
    d.advance(600);
    double early = num(d.read(1, reg::kFlow));
    EXPECT_GT(early, 5);
    EXPECT_LT(early, 45) << "not there at once";
    d.advance(4700);
    EXPECT_NEAR(num(d.read(1, reg::kFlow)), 50, 0.5);
    double valve = num(d.read(1, reg::kValve));
    EXPECT_GT(valve, 30);
    EXPECT_LT(valve, 50);
    EXPECT_NEAR(num(d.read(1, reg::kTemperature)), 21, 0.6);
    // Setpoint back to 0: the flow goes and the cut-off shows a clean zero.
    ASSERT_EQ(d.write(1, reg::kSetpoint, "0"), "ok");
    d.advance(10000);
    EXPECT_EQ(d.read(1, reg::kFlow), "0");
}

TEST(SimModel, TotalizerIntegratesAndResetsOnZero) {
    DemoBus d;
    ASSERT_EQ(d.write(1, reg::kSetpoint, "60"), "ok"); // 60 ln/min = 1 ln/s
    d.advance(60'000);
    // One minute at 60 ln/min, less what the control loop's lag (about 1.1 s) cost at the start.
    EXPECT_NEAR(num(d.read(1, reg::kTotalizer)), 60 - 1.1, 0.2);
    // Reading the model lazily in small or large steps gives the same total.
    DemoBus e;
    e.write(1, reg::kSetpoint, "60");
    for (int i = 0; i < 600; ++i) {
        e.advance(100);
        e.read(1, reg::kFlow);
    }
    EXPECT_NEAR(num(e.read(1, reg::kTotalizer)), num(d.read(1, reg::kTotalizer)), 0.05);

    ASSERT_EQ(d.write(1, reg::kTotalizer, "0"), "ok");
    EXPECT_NEAR(num(d.read(1, reg::kTotalizer)), 0, 0.01);
    d.advance(1000);
    EXPECT_NEAR(num(d.read(1, reg::kTotalizer)), 1, 0.05);
}

TEST(SimModel, TotalizerConvertsFlowUnitToTotalUnit) {
    DemoBus d; // device 4 measures 200 mln/min and totals in ln
    d.advance(60'000);
    EXPECT_NEAR(num(d.read(4, reg::kTotalizer)), 0.2, 0.01);
}

TEST(SimModel, NoFlowAtFullValveRaisesItsAlarmUntilReset) {
    DemoBus d;
    ASSERT_EQ(runFaultCommand(d.bus, "gas 1 0"), "ok gas 1 0");
    ASSERT_EQ(d.write(1, reg::kSetpoint, "50"), "ok");
    d.advance(2000);
    EXPECT_EQ(d.read(1, reg::kAlarmWord), "0") << "valve still opening";
    d.advance(5000);
    EXPECT_EQ(d.read(1, reg::kAlarmWord), "8");
    EXPECT_NEAR(num(d.read(1, reg::kValve)), 100, 0.5);
    EXPECT_NEAR(num(d.read(1, reg::kFlow)), 0, 0.5);

    runFaultCommand(d.bus, "gas 1 1");
    d.advance(5000);
    EXPECT_EQ(d.read(1, reg::kAlarmWord), "8") << "latched";
    ASSERT_EQ(d.write(1, reg::kAlarmReset, "65535"), "ok");
    EXPECT_EQ(d.read(1, reg::kAlarmWord), "0");
}

TEST(SimModel, SetpointOutOfRangeRaisesTheInputAlarm) {
    DemoBus d;
    ASSERT_EQ(d.write(1, reg::kSetpoint, "150"), "ok");
    d.advance(5000);
    EXPECT_EQ(std::stoi(d.read(1, reg::kAlarmWord)) & 0x2, 0x2);
    EXPECT_NEAR(num(d.read(1, reg::kFlow)), 100, 1) << "limited to the range";
}

TEST(SimModel, SoftResetRestartsSilentlyForASecond) {
    DemoBus d;
    d.unlock(1);
    d.write(1, reg::kSetpoint, "50");
    d.advance(5000);
    ASSERT_EQ(d.write(1, reg::kSoftReset, "1"), "ok") << "the write itself is answered";
    EXPECT_EQ(d.read(1, reg::kFlow), "silent");
    d.advance(900);
    EXPECT_EQ(d.read(1, reg::kFlow), "silent");
    EXPECT_NE(d.read(2, reg::kFlow), "silent") << "only device 1 restarts";
    d.advance(200);
    EXPECT_EQ(d.read(1, reg::kSetpoint), "0");
    EXPECT_EQ(d.write(1, reg::kRange, "50"), "ex 04") << "locked again after the restart";
    // The broadcast restart of the console reaches all devices.
    EXPECT_FALSE(d.send(writeValue(0, reg::kSoftReset, "1")));
    for (uint8_t a = 1; a <= 5; ++a)
        EXPECT_EQ(d.read(a, reg::kFlow), "silent") << int(a);
}

TEST(SimModel, PowerUpSetpointAppliesAfterRestart) {
    DemoBus d;
    d.unlock(3);
    ASSERT_EQ(d.write(3, reg::kPowerUp, "1"), "ok");
    ASSERT_EQ(d.write(3, reg::kPowerUpSetpoint, "7.5"), "ok");
    ASSERT_EQ(d.write(3, reg::kSoftReset, "1"), "ok");
    d.advance(1500);
    EXPECT_EQ(d.read(3, reg::kSetpoint), "7.5");
}

TEST(SimModel, MeterMeasuresSteadilyAndDetectsReverseFlow) {
    DemoBus d;
    d.advance(5000);
    EXPECT_NEAR(num(d.read(4, reg::kFlow)), 200, 1);
    EXPECT_EQ(d.read(4, reg::kReverseFlowWord), "0");
    runFaultCommand(d.bus, "flow 4 -5"); // -1 % of range: below 0, above the 2 % limit
    d.advance(5000);
    EXPECT_EQ(d.read(4, reg::kReverseFlowWord), "1");
    runFaultCommand(d.bus, "flow 4 -50");
    d.advance(5000);
    EXPECT_EQ(d.read(4, reg::kReverseFlowWord), "3");
    EXPECT_NEAR(num(d.read(5, reg::kFlow)), 4, 0.1) << "first generation meter";
}

TEST(SimModel, PressureControllerFollowsThePressureSetpoint) {
    DemoBus d;
    ASSERT_EQ(d.write(2, reg::kPressSetpoint, "4"), "ok");
    d.advance(8000);
    EXPECT_NEAR(num(d.read(2, reg::kPressure)), 4, 0.1);
    EXPECT_GT(num(d.read(2, reg::kFlow)), 1) << "holding pressure costs a bleed flow";
    EXPECT_EQ(d.read(2, reg::kPressureUnitText), "bar");
    ASSERT_EQ(d.write(2, reg::kPressSetpoint, "0"), "ok");
    d.advance(8000);
    EXPECT_NEAR(num(d.read(2, reg::kPressure)), 0, 0.1);
}

} // namespace
} // namespace getkelo::sim::test
