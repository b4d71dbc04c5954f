#include "graph_fixture.h"

#include "graphs/graph_registers.h"
#include "graphs/pressure_graph.h"
#include "sim/sim_registers.h"

namespace getkelo::test {
namespace {

// Device 2 of the demo bus is the pressure controller (mode 5); here its range is 12.
class PressureGraphTest : public GraphTest {
  protected:
    void SetUp() override {
        startOnDemoBus([](std::vector<sim::DeviceConfig>& bus) { bus[1].pressureRange = 12; });
        selectAddress(2);
        graph = std::make_unique<PressureGraph>(*host, ui, texts);
        graph->FormActivate();
    }
    std::unique_ptr<PressureGraph> graph;
};

TEST_F(PressureGraphTest, SetpointAboveTheRangesIntegerPartIsReplacedByTheRange) {
    struct Row {
        const char* entered;
        const char* written;
    } rows[] = {{"12.7", "12.7"}, {"13", "12"}, {"", "0"}, {"4,5", "4.5"}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.entered);
        EXPECT_EQ(graph->btnSaveSetpointClick(r.entered), r.written);
        EXPECT_EQ(deviceValue(2, graphreg::kPressureSetpoint), r.written);
    }
    EXPECT_EQ(deviceValue(2, reg::kCommand), "1");
}

TEST_F(PressureGraphTest, PauseIs75WhileOpenAnd100After) {
    EXPECT_EQ(console->connection()->DelayMs, PressureGraph::kOpenDelayMs);
    graph->FormClose();
    EXPECT_EQ(console->connection()->DelayMs, PressureGraph::kClosedDelayMs);
}

TEST_F(PressureGraphTest, ParameterSetsAreReadAndWrittenThroughTheSelectors) {
    EXPECT_EQ(graph->value(kPressKp), 1000);
    EXPECT_EQ(graph->value(kPressKi), 1000);
    EXPECT_EQ(graph->value(kPressN), 10);
    size_t m = mark();
    graph->cmbControlSetChange(0);
    EXPECT_TRUE(sentSince(m).empty()) << "the set shown costs nothing";
    graph->cmbControlSetChange(2);
    EXPECT_EQ(graph->value(kPressKp), 1500);
    EXPECT_EQ(deviceValue(2, graphreg::kPressureActiveSet), "2");
    graph->editTyped(kPressKd, "250");
    graph->btnSaveClick();
    EXPECT_EQ(bus.device(2)->get(graphreg::kPressureKd, sim::pressurePidBank(1, 2)), "250");
    EXPECT_EQ(deviceValue(2, graphreg::kPressureSetSelector), "0") << "selection reset";
    EXPECT_EQ(deviceValue(2, reg::kSlotSelector), "0");
    EXPECT_EQ(ui.beeps, 0);
}

TEST_F(PressureGraphTest, StepsAndModesFollowTheControlMode) {
    ASSERT_EQ(graph->setList().size(), 6u);
    EXPECT_EQ(graph->setList()[4].text, "  20%  =  2.4 bar");
    graph->SetListClick(1);
    EXPECT_EQ(deviceValue(2, graphreg::kPressureSetpoint), "9.6");
    graph->cmbControlModeSelect(1);
    EXPECT_EQ(deviceValue(2, reg::kControlMode), "6");
    EXPECT_EQ(graph->setList()[4].text, "  10%  =  1.2 bar");
    graph->cmbPControlModeSelect(2);
    EXPECT_EQ(deviceValue(2, graphreg::kPressureMode), "2");
    graph->cmbControlModeSelect(0);
    EXPECT_EQ(deviceValue(2, reg::kControlMode), "5");
}

} // namespace
} // namespace getkelo::test
