#include "graph_fixture.h"

#include "base/number_format.h"
#include "graphs/flow_graph.h"
#include "graphs/graph_file.h"

namespace getkelo::test {
namespace {

class GraphFileTest : public GraphTest {
  protected:
    void SetUp() override {
        startOnDemoBus();
        selectAddress(1);
        graph = std::make_unique<FlowGraph>(*host, ui, texts);
        graph->FormActivate();
        console->settings().workDir = dir.path();
        graph->SetListChange(4);
        for (int i = 0; i < 30; ++i) {
            tick();
            graph->TimerTimer();
        }
    }
    std::unique_ptr<FlowGraph> graph;
};

TEST_F(GraphFileTest, AGraphWrittenAndReadBackGivesTheSameSeries) {
    const std::string path = graph->SpeichernMnuClick();
    ASSERT_FALSE(path.empty());
    EXPECT_NE(path.find("/24010001_"), std::string::npos) << path;
    const std::string text = readText(path);
    EXPECT_EQ(text.substr(0, text.find('\n') + 1),
              "Timestamp;Flow [ln/min];Set [ln/min];Valve [%]\r\n");

    const std::deque<Sample> saved = graph->samples().samples();
    graph->RstGraphClick();
    ASSERT_TRUE(graph->openGraphFile(path));
    ASSERT_EQ(graph->samples().size(), saved.size());
    for (size_t i = 0; i < saved.size(); ++i) {
        const Sample& a = saved[i];
        const Sample& b = graph->samples().at(i);
        EXPECT_EQ(b.tMs, a.tMs);
        EXPECT_EQ(formatGeneral(b.y[0], 7), formatGeneral(a.y[0], 7));
        EXPECT_EQ(b.y[1], a.y[1]);
        EXPECT_NEAR(b.y[2], a.y[2], 0.005);
    }
    EXPECT_EQ(graph->unit(), "ln/min");
}

TEST_F(GraphFileTest, DamagedOrForeignFilesAreRefusedAndNothingIsLoaded) {
    const std::string good = graph->SpeichernMnuClick();
    const std::string body = readText(good);
    const size_t before = graph->samples().size();
    const std::string secondLine = body.substr(body.find('\n') + 1);
    struct Row {
        const char* name;
        std::string text;
        const char* says;
    } rows[] = {
        {"damaged.log", body.substr(0, body.size() - 20) + "x;1;2\r\n" + secondLine, "Zeile"},
        {"cut.log", body.substr(0, body.find('\n') + 30), "Zeile 2"},
        {"logger.log", "Timestamp;Flow [ln/min];Set [ln/min];Total [ln]\r\n" + secondLine,
         "keine Durchfluss-Graph-Datei"},
        {"pressure.log", "Timestamp;Pressure [bar];Set [bar];Valve [%]\r\n", "keine"},
        {"other.txt", "[Kontakt]\r\nName=x\r\n", "keine"},
        {"empty.log", "", "keine"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        writeText(dir.file(r.name), r.text);
        ui.messages.clear();
        EXPECT_FALSE(graph->openGraphFile(dir.file(r.name)));
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_NE(ui.messages[0].text.find(r.says), std::string::npos) << ui.messages[0].text;
        EXPECT_EQ(graph->samples().size(), before) << "nothing half-loaded";
    }
    EXPECT_FALSE(graph->openGraphFile(dir.file("missing.log")));
}

TEST_F(GraphFileTest, ALongFileKeepsItsLastWindow) {
    std::string text = graphFileHeader(GraphKind::Flow, "ln/min") + "\r\n";
    for (int i = 0; i < 2500; ++i) {
        Sample s;
        s.tMs = 1700000000000 + 100 * i;
        s.y = {double(i), 1, 2};
        text += graphFileLine(s) + "\r\n";
    }
    writeText(dir.file("long.log"), text);
    const GraphFileRead r = readGraphFile(dir.file("long.log"), GraphKind::Flow);
    ASSERT_EQ(r.status, GraphFileRead::Ok);
    ASSERT_EQ(r.samples.size(), 2000u);
    EXPECT_EQ(r.samples.front().y[0], 500);
}

TEST_F(GraphFileTest, AnUnwritableFolderIsReported) {
    console->settings().workDir = dir.file("no/such/folder");
    EXPECT_EQ(graph->SpeichernMnuClick(), "");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].icon, MsgIcon::Error);
}

} // namespace
} // namespace getkelo::test
