#include "console/control_mode.h"
#include "graphs/pid_access.h"
#include "graphs/pid_tuning.h"
#include "graphs/setpoint_steps.h"

#include <gtest/gtest.h>

namespace getkelo {
namespace {

TEST(PidTuning, GenerationRangesAndIScalingFollowTheVersionText) {
    struct Row {
        const char* version;
        PidGeneration gen;
        int pMax, iMax, nMax;
        bool iScaledEdit, iTimes1000;
    } rows[] = {
        {"1.2.03", PidGeneration::First, 255, 255, 255, false, false},
        {"2.1.15", PidGeneration::First, 255, 255, 255, false, false},
        {"2.2.00", PidGeneration::Second, 256, 1000, 256, true, true},
        {"3.5.02", PidGeneration::Second, 256, 1000, 256, true, true},
        {"4.0.0", PidGeneration::None, 255, 255, 255, true, false},
        {"4.0.05", PidGeneration::Third, 10000, 10000, 8000, true, true},
        {"4.3.05", PidGeneration::Third, 10000, 10000, 8000, true, true},
        {"4.3.06", PidGeneration::Third, 10000, 10000, 8000, false, false},
        {"4.3.15", PidGeneration::Third, 10000, 10000, 8000, false, false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.version);
        EXPECT_EQ(pidGeneration(r.version), r.gen);
        EXPECT_EQ(iKeptTimes1000(r.version), r.iTimes1000);
        auto pairs = flowTuningPairs(r.version);
        EXPECT_EQ(pairs[kPidP].range().max, r.pMax);
        EXPECT_EQ(pairs[kPidI].range().max, r.iMax);
        EXPECT_EQ(pairs[kPidN].range().max, r.nMax);
        EXPECT_EQ(pairs[kPidI].scaled(), r.iScaledEdit);
    }
    EXPECT_EQ(flowTuningPairs("3.5.02")[kPidP].range().min, 1);
    EXPECT_EQ(flowTuningPairs("3.5.02")[kPidI].range().tick, 100);
    EXPECT_EQ(pressureTuningPairs("4.3.04")[kPressKp].range().max, 255);
    EXPECT_EQ(pressureTuningPairs("4.3.05")[kPressKd].range().max, 10000);
    EXPECT_EQ(pressureTuningPairs("4.3.05")[kPressN].range().max, 8000);
}

TEST(PidTuning, EditAndBarPairsKeepTheOperatorsValue) {
    TuningPair scaled({0, 1000, 100}, true);
    double v = 0;
    EXPECT_EQ(scaled.barMoved(250, v), "0.25");
    EXPECT_EQ(v, 250);
    EXPECT_EQ(scaled.editTyped("0,4", v), 400);
    EXPECT_EQ(v, 400);
    EXPECT_EQ(scaled.editText(123), "0.123");

    TuningPair plain({0, 10000, 500}, false);
    EXPECT_EQ(plain.barMoved(600, v), "600");
    // A value read from the device keeps its fraction; only the bar shows it truncated.
    EXPECT_EQ(plain.editText(1.2), "1.2");
    EXPECT_EQ(plain.barPosition(1.2), 1);
    EXPECT_EQ(plain.editTyped("12.5", v), 12);
    EXPECT_EQ(v, 12.5);
    EXPECT_EQ(plain.barPosition(20000), 10000);
    EXPECT_EQ(plain.editTyped("", v), 0);
}

TEST(PidTuning, GraphControlModeEntriesGiveTheirCodes) {
    const int codes[kGraphModeEntries] = {0, 1, 2, 10, 20, 21, 22, 23, 30};
    for (int i = 0; i < kGraphModeEntries; ++i)
        EXPECT_EQ(graphModeCode(i), codes[i]) << i;
}

TEST(SetpointSteps, ListsReadAsTheOperatorKnowsThem) {
    auto flow = flowSetpointSteps(100, "ln/min");
    ASSERT_EQ(flow.size(), 9u);
    EXPECT_EQ(flow[0].text, "100%  =  100 ln/min");
    EXPECT_EQ(flow[1].text, "  95%  =  95 ln/min");
    EXPECT_EQ(flow[7].text, "    5%  =  5 ln/min");
    EXPECT_EQ(flow[8].text, "    0%  =  0 ln/min");
    EXPECT_EQ(*flow[3].fraction, 0.75);
    EXPECT_EQ(flowSetpointSteps(2.2, "ln/h")[5].text, "  25%  =  0.55 ln/h");

    auto mode5 = pressureSetpointSteps(12, "bar", 5);
    ASSERT_EQ(mode5.size(), 6u);
    EXPECT_EQ(mode5[1].text, "  80%  =  9.6 bar");
    EXPECT_EQ(mode5[4].text, "  20%  =  2.4 bar");
    EXPECT_EQ(*pressureSetpointSteps(12, "bar", 6)[4].fraction, 0.1);
    EXPECT_FALSE(pressureSetpointSteps(12, "bar", 3)[4].fraction) << "no fraction defined";
    EXPECT_EQ(*mode5[5].fraction, 0);
}

} // namespace
} // namespace getkelo
