#include "base/flow_unit.h"

#include <gtest/gtest.h>

using namespace getkelo;

namespace {
const double kStd = 273.15 / 293.15; // standard (20 °C) against normal (0 °C) conditions
}

TEST(FlowUnitFactor, EveryUnitOfTheMixerChoicesAtConsoleConditions) {
    struct {
        const char* unit;
        double factor;
    } cases[] = {
        {"mln/min", 1},
        {"ln/min", 1000},
        {"ln/h", 1000.0 / 60},
        {"m3n/h", 1e6 / 60},
        {"mls/min", kStd},
        {"ls/min", 1000 * kStd},
        {"ls/h", 1000 * kStd / 60},
        {"m3s/h", 1e6 * kStd / 60},
        {"sccm", 1},
        {"kg/h", 1000.0 / 60},
        {"", 1},
        {"ln/min   ", 1000},
    };
    for (const auto& c : cases)
        EXPECT_NEAR(flowUnitFactor(c.unit), c.factor, c.factor * 1e-12) << c.unit;
}

TEST(FlowUnitFactor, StandardConditionsFollowPressureAndTemperature) {
    // At 0 °C and 1013 mbar standard and normal conditions coincide.
    EXPECT_DOUBLE_EQ(flowUnitFactor("ls/min", 1013, 0), 1000);
    // Twice the pressure holds twice the gas per volume.
    EXPECT_DOUBLE_EQ(flowUnitFactor("mls/min", 2026, 0), 2);
    EXPECT_DOUBLE_EQ(flowUnitFactor("mls/min", 1013, 20), kStd);
    // Normal units do not depend on the conditions.
    EXPECT_DOUBLE_EQ(flowUnitFactor("ln/min", 500, 80), 1000);
    EXPECT_DOUBLE_EQ(flowUnitFactor("mls/min", 0, 20), 0);
}

TEST(ConvertFlow, MixerConversions) {
    EXPECT_DOUBLE_EQ(convertFlow(10, "ln/min", "mln/min"), 10000);
    EXPECT_DOUBLE_EQ(convertFlow(1, "mls/min", "mln/min"), 273.15 / 293.15);
    EXPECT_DOUBLE_EQ(convertFlow(1, "mln/min", "mls/min"), 293.15 / 273.15);
    EXPECT_DOUBLE_EQ(convertFlow(60, "ln/h", "ln/min"), 1);
    EXPECT_NEAR(convertFlow(1, "m3n/h", "ln/min"), 1000.0 / 60, 1e-9);
    // A unit with factor 0 cannot take a value.
    EXPECT_EQ(convertFlow(5, "mln/min", "mls/min", 0, 20), 0);
}

TEST(TotalUnits, AreTheVolumeOfOneMinuteOfTheirFlowUnit) {
    struct {
        const char* unit;
        double factor;
    } cases[] = {
        {"mln", 1},          {"ln", 1000},        {"m3n", 1e6}, {"mls", kStd},
        {"ls", 1000 * kStd}, {"m3s", 1e6 * kStd}, {"scc", 1},   {"kg", 1000},
    };
    for (const auto& c : cases)
        EXPECT_NEAR(totalUnitFactor(c.unit), c.factor, c.factor * 1e-12) << c.unit;
    EXPECT_DOUBLE_EQ(convertTotal(2.5, "m3n", "ln"), 2500);
    EXPECT_DOUBLE_EQ(convertTotal(1000, "mln", "mls"), 1000 / kStd);
}

TEST(TotalUnits, TotalUnitOfAFlowUnit) {
    EXPECT_EQ(totalUnitOfFlowUnit("ln/min"), "ln");
    EXPECT_EQ(totalUnitOfFlowUnit("m3s/h"), "m3s");
    EXPECT_EQ(totalUnitOfFlowUnit("sccm"), "scc");
    EXPECT_EQ(totalUnitOfFlowUnit(" mln/min "), "mln");
}
