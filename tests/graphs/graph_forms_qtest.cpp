#include "graph_fixture.h"

#include "console/forms/device_list_model.h"
#include "console/forms/tget_kelo_m.h"
#include "graphs/forms/graph_windows.h"
#include "graphs/forms/live_chart_view.h"
#include "graphs/forms/step_response_table.h"
#include "graphs/forms/tgraph.h"
#include "graphs/forms/tpgraph.h"
#include "graphs/forms/tuning_box.h"
#include "graphs/forms/tzoom.h"
#include "graphs/forms/zoom_windows.h"
#include "graphs/graph_registers.h"
#include "shell/language_text_source.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMouseEvent>
#include <QPrinter>
#include <QWheelEvent>

namespace getkelo::test {
namespace {

// The graph windows on the demo bus, as the main window opens them. With
// GETKELO_SCREENSHOT_DIR=<dir> the tests also save the pictures of the documentation.
class GraphFormsTest : public GraphTest {
  protected:
    void SetUp() override {
        startOnDemoBus();
        console->settings().workDir = dir.path();
        windows = std::make_unique<GraphWindows>(*console, ui, texts, nullptr);
        console->setZoomHook(windows->zoomHook());
        windows->applyLanguage(german);
    }
    void TearDown() override { console->setZoomHook(nullptr); }
    void run(GraphWindow* w, int ticks) {
        for (int i = 0; i < ticks; ++i) {
            tick();
            w->plotStep();
        }
    }
    void screenshot(GraphWindow* w, const char* name) {
        w->chartView()->flush();
        screenshot(static_cast<QWidget*>(w), name);
    }
    void screenshot(QWidget* w, const char* name) {
        if (const char* d = std::getenv("GETKELO_SCREENSHOT_DIR")) {
            QApplication::processEvents();
            EXPECT_TRUE(w->grab().save(QDir(d).filePath(name)));
        }
    }
    // The captions as the program shows them.
    LanguageTextSource german{GETKELO_DATA_DIR "/", "Deutsch"};
    std::unique_ptr<GraphWindows> windows;
};

TEST_F(GraphFormsTest, FlowGraphTunesAndShowsTheFiguresOfEachStep) {
    selectAddress(1);
    windows->GraphMenuClick();
    TGraph* g = windows->flowGraph();
    ASSERT_TRUE(g->isVisible());
    g->timer()->stop(); // the test runs the plot steps itself
    EXPECT_TRUE(windows->graphShown());
    EXPECT_EQ(g->SetList->count(), 9);
    EXPECT_EQ(g->PIDBox->currentIndex(), 0);
    EXPECT_EQ(g->ReglerBox->edit(kPidP)->text(), QString("500"));
    EXPECT_EQ(g->ReglerBox->bar(kPidP)->maximum(), 10000);
    EXPECT_FALSE(g->ReglerBox->edit(kPidD)->isEnabled()) << "no D in this generation";

    // Three steps, each with another P: the table keeps what each did.
    struct Step {
        int p, item;
    } steps[] = {{500, 5}, {300, 4}, {1600, 3}};
    run(g, 5);
    for (const Step& s : steps) {
        g->ReglerBox->bar(kPidP)->setValue(s.p); // as the operator drags it
        EXPECT_EQ(g->ReglerBox->edit(kPidP)->text(), QString::number(s.p));
        g->ChangePID->click();
        g->SetList->setCurrentRow(s.item);
        emit g->SetList->itemClicked(g->SetList->item(s.item));
        run(g, 140);
    }
    EXPECT_EQ(deviceValue(1, reg::kPidKp), "1600");
    g->Graph->flush();
    const QTableWidget* t = g->stepTable();
    EXPECT_EQ(t->item(0, 1)->text(), QString("1600"));
    EXPECT_EQ(t->item(1, 1)->text(), QString("300"));
    EXPECT_EQ(t->item(2, 1)->text(), QString("500"));
    EXPECT_EQ(t->item(1, 0)->text(), QString("25 → 50"));
    EXPECT_FALSE(t->item(1, 4)->text().isEmpty());
    EXPECT_EQ(g->Graph->series(kSeriesMeasured)->count(),
              static_cast<int>(g->logic().samples().size()));
    EXPECT_TRUE(g->FlowEdit->text().endsWith("ln/min"));
    EXPECT_TRUE(g->PWMEdit->text().endsWith(" %"));

    g->resize(1180, 720);
    screenshot(g, "flow_graph.png");

    // Wheel zooms and holds the axes; a double click follows the data again.
    const QPointF centre = g->Graph->rect().center();
    QWheelEvent wheel(centre, g->Graph->mapToGlobal(centre), {}, {0, 120}, Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(g->Graph->viewport(), &wheel);
    EXPECT_TRUE(g->Graph->zoomed());
    const QDateTime heldMax = g->Graph->timeAxis()->max();
    run(g, 3);
    EXPECT_EQ(g->Graph->timeAxis()->max(), heldMax);
    QMouseEvent dbl(QEvent::MouseButtonDblClick, centre, g->Graph->mapToGlobal(centre),
                    Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(g->Graph->viewport(), &dbl);
    EXPECT_FALSE(g->Graph->zoomed());
    EXPECT_GT(g->Graph->timeAxis()->max(), heldMax);

    EXPECT_TRUE(g->savePicture(QString::fromStdString(dir.file("graph.png"))));
    QPrinter pdf(QPrinter::HighResolution);
    pdf.setOutputFormat(QPrinter::PdfFormat);
    pdf.setOutputFileName(QString::fromStdString(dir.file("graph.pdf")));
    g->printTo(pdf);
    EXPECT_GT(QFileInfo(QString::fromStdString(dir.file("graph.pdf"))).size(), 1000);

    g->close();
    EXPECT_FALSE(windows->graphShown());
}

TEST_F(GraphFormsTest, SeriesNeverHoldMoreThanTheWindow) {
    selectAddress(3);
    windows->GraphMenuClick();
    TGraph* g = windows->flowGraph();
    g->timer()->stop();
    run(g, 2010);
    g->Graph->flush();
    for (int k = 0; k < kSeriesCount; ++k)
        EXPECT_EQ(g->Graph->series(k)->count(), 2000) << k;
    g->RstGraph->click();
    EXPECT_EQ(g->Graph->series(kSeriesMeasured)->count(), 0);
    g->close();
}

TEST_F(GraphFormsTest, PressureControllerOpensThePressureGraph) {
    selectAddress(2);
    windows->GraphMenuClick();
    TPGraph* p = windows->pressureGraph();
    ASSERT_TRUE(p->isVisible());
    EXPECT_FALSE(windows->flowGraph()->isVisible());
    p->timer()->stop();
    EXPECT_EQ(console->connection()->DelayMs, 75);
    EXPECT_EQ(p->SetList->count(), 6);
    EXPECT_EQ(p->cmbControlMode->currentIndex(), 0);
    EXPECT_EQ(p->parameters->edit(kPressKp)->text(), QString("1000"));

    struct Step {
        int kp, item;
    } steps[] = {{1000, 3}, {4000, 2}};
    run(p, 5);
    for (const Step& s : steps) {
        p->parameters->edit(kPressKp)->setText(QString::number(s.kp));
        emit p->parameters->edit(kPressKp)->textEdited(QString::number(s.kp));
        p->btnSave->click();
        emit p->SetList->itemClicked(p->SetList->item(s.item));
        run(p, 140);
    }
    EXPECT_EQ(p->stepTable()->item(0, 1)->text(), QString("4000"));
    EXPECT_EQ(p->stepTable()->item(1, 1)->text(), QString("1000"));
    p->txtSetpoint->setText("13");
    p->btnSaveSetpoint->click();
    EXPECT_EQ(p->txtSetpoint->text(), QString("10")) << "replaced by the range";
    run(p, 30);
    p->resize(1180, 720);
    screenshot(p, "pressure_graph.png");
    p->close();
    EXPECT_EQ(console->connection()->DelayMs, 100);
}

TEST_F(GraphFormsTest, ZoomWindowShowsItsDeviceAndFollowsTheRows) {
    selectAddress(1);
    console->SollOKBtnClick("60");
    TZoom* z = windows->zooms()->open(list().findAddress(1));
    TZoom* meter = windows->zooms()->open(list().findAddress(4));
    ASSERT_TRUE(z && meter);
    EXPECT_EQ(z->windowTitle(), QString("Zoom"));
    ui.inputAnswers = {std::string("50")};
    z->Hoch->trigger();
    ASSERT_EQ(ui.inputs.size(), 1u);
    EXPECT_EQ(ui.inputs[0].prompt, "Oberer Grenzwert [ln/min]:\n(leer = inaktiv):");
    z->Akustisch->setChecked(true);
    console->setPollAll(true);
    for (int i = 0; i < 60; ++i)
        tick();
    EXPECT_TRUE(z->FlowLabel->text().endsWith(" ln/min"));
    EXPECT_EQ(z->FlowLabel->palette().color(QPalette::WindowText), QColor(139, 0, 0));
    EXPECT_GT(ui.beeps, 0) << "above 50 with the acoustic alarm on";
    EXPECT_TRUE(meter->FlowLabel->text().endsWith(" mln/min"));
    z->resize(360, 170);
    screenshot(z, "zoom_window.png");

    // The first row goes: its window closes, the meter's window moves up with its row.
    const int meterRow = list().findAddress(4);
    windows->zooms()->rowRemoved(1);
    QApplication::processEvents();
    EXPECT_EQ(windows->zooms()->window(meterRow - 1), meter);
    EXPECT_EQ(windows->zooms()->openCount(), 1);
}

TEST(LiveChart, TheNewestSampleIsDrawnWhenOnlyTheTimeAxisMoves) {
    LiveChartView view;
    view.resize(600, 400);
    view.show();
    SampleWindow window;
    for (int i = 0; i < 100; ++i) {
        Sample s;
        s.tMs = 1700000000000 + 150 * i;
        s.y = {50, 50, 40};
        window.append(s);
    }
    view.reload(window);
    const double top = view.valueAxis()->max();
    Sample s = window.back();
    s.tMs += 150;
    s.y[kSeriesMeasured] = 58; // inside the left axis: only the time axis moves
    view.appendSample(s, window.append(s), window);
    ASSERT_EQ(view.valueAxis()->max(), top);
    const QImage shot = view.grab().toImage();
    const QPointF at = view.mapFromScene(
        view.chart()->mapToPosition(QPointF(double(s.tMs), 58), view.series(kSeriesMeasured)));
    bool red = false;
    for (int dx = -3; dx <= 0; ++dx)
        for (int dy = -2; dy <= 2; ++dy) {
            const QColor c = shot.pixelColor(int(at.x()) + dx, int(at.y()) + dy);
            red = red || (c.red() > 150 && c.green() < 100 && c.blue() < 100);
        }
    EXPECT_TRUE(red) << "the line reaches the new point";
}

TEST(MainWindowGraphs, GraphMenuAndGridOpenTheGraphsWindows) {
    TempDir dir;
    VirtualClock clock;
    ScriptedUi ui;
    TComm comm(clock, &ui);
    sim::SimBus bus(clock);
    std::string ini = "[Init]\nMulti=0\n";
    for (const sim::DeviceConfig& c : sim::demoBus()) {
        bus.addDevice(c);
        ini += "tesra_" + std::to_string(c.address) + "=" + std::to_string(c.address) + "\n";
    }
    writeText(dir.file("GetKelo.ini"), ini);
    TGetKeloM window(comm, ui, {dir.file("GetKelo.ini"), GETKELO_DATA_DIR "/", dir.path() + "/"});
    window.setEndProgram([] {});
    window.console().setConnectionFactory([&bus](TComm& c) {
        return std::make_unique<TTesra>(
            c, c.AttachTransport(std::make_unique<sim::SimTransport>(bus, c.clock())));
    });
    window.FormShow();
    // The stored devices come back one per tick.
    for (int i = 0; i < 20 && window.console().restoring(); ++i)
        window.console().TimerTimer();
    window.pollTimer()->stop();
    window.syncFromConsole();
    ASSERT_EQ(window.console().devices().count(), 5);

    QAction* graph = window.action("GraphMenu");
    ASSERT_TRUE(graph && graph->isEnabled());
    graph->trigger();
    TGraph* g = window.graphs()->flowGraph();
    EXPECT_TRUE(g->isVisible());
    g->timer()->stop();
    EXPECT_TRUE(window.flowGraphShown()) << "the tick leaves the alarm page alone";
    EXPECT_EQ(g->windowTitle(), QString("Diagramm"));
    window.setLanguage("English");
    EXPECT_EQ(g->windowTitle(), QString("Chart"));
    EXPECT_EQ(g->ChangePID->text(), QString("Apply"));
    EXPECT_EQ(window.graphs()->pressureGraph()->btnSaveSetpoint->text(), QString("Set setpoint"));
    g->close();
    EXPECT_FALSE(window.flowGraphShown());

    const QModelIndex meter = window.gridModel()->index(3, 0);
    emit window.grid()->doubleClicked(meter);
    TZoom* z = window.graphs()->zooms()->window(4);
    ASSERT_TRUE(z);
    EXPECT_EQ(z->Hoch->text(), QString("High"));
    window.console().setPollAll(true);
    clock.advanceMs(100);
    window.console().TimerTimer();
    EXPECT_TRUE(z->FlowLabel->text().endsWith("mln/min"));
    z->close();
}

} // namespace
} // namespace getkelo::test

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
