#include "graph_fixture.h"

#include "graphs/flow_graph.h"

namespace getkelo::test {
namespace {

// The demo exists to show what tuning does: on the simulated bus a higher P rises faster
// and, past a point, overshoots; far too high and the loop never settles.
class SimTuningTest : public GraphTest {
  protected:
    // Steps device 1 from 25 % to 75 % with this P and returns the step's figures.
    StepRecord stepWithP(int p) {
        graph->editTyped(kPidP, std::to_string(p));
        graph->ChangePIDClick();
        graph->SetListChange(5); // 25 %
        run(150);
        graph->SetListChange(3); // 75 %
        run(250);
        return graph->steps().steps().front();
    }
    void run(int ticks) {
        for (int i = 0; i < ticks; ++i) {
            tick();
            graph->TimerTimer();
        }
    }
    std::unique_ptr<FlowGraph> graph;
};

TEST_F(SimTuningTest, HigherPRisesFasterAndPastAPointOvershoots) {
    startOnDemoBus();
    selectAddress(1);
    graph = std::make_unique<FlowGraph>(*host, ui, texts);
    graph->FormActivate();

    const StepRecord soft = stepWithP(300);
    const StepRecord tuned = stepWithP(500); // the demo default
    const StepRecord hard = stepWithP(1600);
    const StepRecord wild = stepWithP(5000);
    for (const StepRecord* r : {&soft, &tuned, &hard}) {
        ASSERT_TRUE(r->figures.riseS);
        ASSERT_TRUE(r->figures.settlingS);
        EXPECT_EQ(r->from, 25);
        EXPECT_EQ(r->to, 75);
    }
    EXPECT_EQ(tuned.tuning.P, 500);
    EXPECT_GT(*soft.figures.riseS, *tuned.figures.riseS);
    EXPECT_GT(*tuned.figures.riseS, *hard.figures.riseS);
    EXPECT_LT(soft.figures.overshootPct, 2);
    EXPECT_LT(tuned.figures.overshootPct, 10);
    EXPECT_GT(hard.figures.overshootPct, 10);
    EXPECT_FALSE(wild.figures.settlingS) << "oscillates";
}

} // namespace
} // namespace getkelo::test
