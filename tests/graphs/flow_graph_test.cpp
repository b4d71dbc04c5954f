#include "graph_fixture.h"

#include "base/number_format.h"
#include "comm/register_catalogue.h"
#include "graphs/flow_graph.h"
#include "sim/fault_commands.h"
#include "sim/sim_registers.h"

#include <algorithm>

namespace getkelo::test {
namespace {

class FlowGraphTest : public GraphTest {
  protected:
    void open(int address) {
        selectAddress(address);
        graph = std::make_unique<FlowGraph>(*host, ui, texts);
        graph->FormActivate();
    }
    // Polling ticks, each followed by the graph's plot step.
    void run(int ticks) {
        for (int i = 0; i < ticks; ++i) {
            tick();
            graph->TimerTimer();
        }
    }
    bool touches(const std::vector<uint16_t>& regs, std::initializer_list<uint16_t> any) {
        return std::any_of(regs.begin(), regs.end(), [&](uint16_t r) {
            return std::find(any.begin(), any.end(), r) != any.end();
        });
    }
    std::unique_ptr<FlowGraph> graph;
};

TEST_F(FlowGraphTest, ActivationReadsTheActiveSetOfTheSelectedDevice) {
    startOnDemoBus();
    open(3);
    EXPECT_EQ(graph->generation(), PidGeneration::Second);
    EXPECT_EQ(graph->setIndex(), 0);
    EXPECT_TRUE(graph->takeParametersChanged());
    EXPECT_EQ(graph->pidValues(), (PidValues{25, 500, 0, 50, 77}));
    EXPECT_EQ(graph->pair(kPidI).editText(graph->value(kPidI)), "0.5");
    EXPECT_EQ(graph->setList()[4].text, "  50%  =  10 ln/min");
    EXPECT_EQ(graph->modeIndex(), 0);
    EXPECT_EQ(console->connection()->DelayMs, 100);
}

TEST_F(FlowGraphTest, ChoosingTheActiveSetWritesAndReadsNothing) {
    startOnDemoBus();
    for (int address : {3, 1}) {
        SCOPED_TRACE(address);
        open(address);
        size_t m = mark();
        graph->PIDBoxChange(graph->setIndex());
        EXPECT_TRUE(sentSince(m).empty());

        graph->takeParametersChanged();
        m = mark();
        graph->PIDBoxChange(1);
        EXPECT_EQ(graph->setIndex(), 1);
        EXPECT_TRUE(graph->takeParametersChanged());
        const auto written = writtenSince(m);
        EXPECT_TRUE(touches(written, {0x0035, 0x6200}));
        EXPECT_EQ(graph->value(kPidP), address == 3 ? 15 : 300) << "set 1 read";
    }
    EXPECT_EQ(deviceValue(1, reg::kSlotPidSelect), "1");
}

TEST_F(FlowGraphTest, VersionText400MakesNoParameterAccess) {
    startOnDemoBus();
    selectAddress(1);
    console->devices().record(list().selectedRow()).softwareVersion = "4.0.0";
    graph = std::make_unique<FlowGraph>(*host, ui, texts);
    const size_t m = mark();
    graph->FormActivate();
    graph->PIDBoxChange(3);
    graph->ChangePIDClick();
    const auto regs = readSince(m), written = writtenSince(m);
    EXPECT_FALSE(touches(regs, {0x002D, 0x0035, 0x6200, 0x6202}));
    EXPECT_TRUE(written.empty());
    EXPECT_EQ(graph->generation(), PidGeneration::None);
}

TEST_F(FlowGraphTest, SetpointStepsGoThroughTheConsolesTick) {
    startOnDemoBus();
    open(1);
    graph->SetListChange(4); // 50 %
    EXPECT_FLOAT_EQ(console->pendingSetpoint(), 50);
    tick();
    EXPECT_EQ(deviceValue(1, reg::kSetpoint), "50");
    // With "Dynamic" not 0 the set point is a pressure: 0.8333333 of the step.
    bus.device(1)->put(reg::kSlotDynamic, "2", sim::slotBank(1));
    graph->SetListChange(0);
    EXPECT_NEAR(console->pendingSetpoint(), 83.33333, 1e-4);
    graph->SetListChange(8);
    EXPECT_FLOAT_EQ(console->pendingSetpoint(), 0);
}

TEST_F(FlowGraphTest, PlotSamplesOnlyAfterATickAndSkipsFailedPolls) {
    startOnDemoBus();
    open(1);
    graph->TimerTimer();
    graph->TimerTimer();
    EXPECT_TRUE(graph->samples().empty()) << "no tick since the flag was last taken";
    run(5);
    EXPECT_EQ(graph->samples().size(), 5u);
    EXPECT_EQ(graph->valveText().back(), '%');
    ASSERT_EQ(sim::runFaultCommand(bus, "silent 1"), "ok silent 1");
    run(2);
    EXPECT_EQ(graph->samples().size(), 5u) << "a timeout is no flow of zero";
    EXPECT_NE(graph->measuredText().find("Timeout!"), std::string::npos);
    // A parameter set the device does not answer for: a beep, the working values stay.
    graph->PIDBoxChange(2);
    EXPECT_GE(ui.beeps, 1);
    EXPECT_EQ(graph->value(kPidP), 500);
}

TEST_F(FlowGraphTest, PauseAppliesWhileOpenAndGoesBackAtClose) {
    startOnDemoBus();
    open(1);
    graph->PauseEditChange("20");
    EXPECT_EQ(console->connection()->DelayMs, 20);
    graph->PauseEditChange("x");
    EXPECT_EQ(graph->pause(), 20);
    graph->FormClose();
    EXPECT_EQ(console->connection()->DelayMs, 100);
}

TEST_F(FlowGraphTest, ModeAndValveAreWrittenToTheDevice) {
    startOnDemoBus();
    open(1);
    graph->GModusBoxSelect(8);
    EXPECT_EQ(deviceValue(1, reg::kControlMode), "30");
    EXPECT_EQ(graph->modeIndex(), 8);
    graph->GModusBoxSelect(2); // "Ventil fix": the valve holds what PWMEdit writes
    EXPECT_EQ(deviceValue(1, reg::kControlMode), "2");
    graph->PWMEditExit("130 %");
    EXPECT_EQ(ui.beeps, 0);
    for (int i = 0; i < 30; ++i)
        tick();
    EXPECT_NEAR(list().record(list().selectedRow()).valve, 100, 0.5) << "limited to 100 %";
    graph->PWMEditExit("20");
    for (int i = 0; i < 30; ++i)
        tick();
    EXPECT_NEAR(list().record(list().selectedRow()).valve, 20, 0.5);
    EXPECT_NEAR(textToDouble(list().cell(list().selectedRow(), kColFlow)), 25, 0.5);
}

TEST_F(FlowGraphTest, AnotherSelectedDeviceStartsTheGraphAfresh) {
    startOnDemoBus();
    open(1);
    run(3);
    ASSERT_EQ(graph->samples().size(), 3u);
    selectAddress(3);
    tick();
    const auto step = graph->TimerTimer();
    EXPECT_TRUE(step.prepared);
    EXPECT_EQ(graph->samples().size(), 1u);
    EXPECT_EQ(graph->generation(), PidGeneration::Second);
}

} // namespace
} // namespace getkelo::test
