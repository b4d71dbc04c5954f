#include "base/ini_file.h"
#include "calib/data_file_path.h"
#include "config/press/forms/tpress_settings.h"
#include "config/t4lookup/forms/tt4_lookup.h"
#include "config/t4lookup/t4_lookup.h"
#include "console/forms/extras_page.h"
#include "console/forms/filter_page.h"
#include "console/forms/tget_kelo_m.h"
#include "sim/device_profiles.h"
#include "sim/sim_transport.h"
#include "sim_link.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTimer>
#include <filesystem>
#include <gtest/gtest.h>

namespace getkelo::sim::test {
namespace {

// The main window on the demo bus (virtual time), started and scanned.
struct DemoWindow {
    QTemporaryDir dir;
    VirtualClock clock;
    ScriptedUi ui;
    TComm comm{clock, &ui};
    SimBus bus{clock};
    std::unique_ptr<TGetKeloM> window;

    DemoWindow() {
        for (const auto& c : demoBus())
            bus.addDevice(c);
        const std::string home = dir.path().toStdString() + "/";
        window = std::make_unique<TGetKeloM>(
            comm, ui, ConsolePaths{home + "GetKelo.ini", GETKELO_DATA_DIR "/", home});
        window->console().setConnectionFactory([this](TComm& c) {
            return std::make_unique<TTesra>(
                c, c.AttachTransport(std::make_unique<SimTransport>(bus, c.clock())));
        });
        window->resize(1100, 700);
        window->FormShow();
        window->show(); // pages read their device when they are shown
        for (int i = 0; i < 300 && (!window->console().started() || window->console().scanning());
             ++i)
            window->console().TimerTimer();
        window->pollTimer()->stop();
    }
    void select(int row) {
        window->console().selectRow(row);
        window->syncFromConsole();
        window->pollTimer()->stop();
    }
    // Brings a page to the front (its show reads the device) and saves a picture of the window
    // when GETKELO_SCREENSHOT_DIR is set.
    void show(ConsolePage page, const char* name, const char* language) {
        window->showPage(page);
        QApplication::processEvents();
        window->pollTimer()->stop();
        shot(window.get(), name, language);
    }
    static void shot(QWidget* w, const char* name, const char* language) {
        if (const char* d = std::getenv("GETKELO_SCREENSHOT_DIR"))
            EXPECT_TRUE(w->grab().save(QDir(d).filePath(QString("%1_%2.png").arg(name, language))));
    }
    std::string dataFile(int row) {
        return series4DataFilePath(dataFileRoot(window->console().settings()),
                                   window->console().devices().cell(row, kColSerial));
    }
};

void writeDataFile(const std::string& path) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    IniFile f(path);
    IniFile::Batch batch(f);
    for (const char* s : {"LOOKUP3", "LOOKUP4"}) {
        f.writeString(s, "Gas", "Ar");
        f.writeString(s, "FlowRange", "50");
        f.writeString(s, "FlowUnit", "ln/min");
        f.writeString(s, "LookupIdent", "99");
        f.writeString(s, "FlowTicks_0x4000", "1;2;3");
    }
}

TEST(Series4PagesForm, PagesReadTheDeviceInBothLanguages) {
    DemoWindow w;
    ASSERT_EQ(w.window->console().devices().count(), 5);
    for (const char* language : {"Deutsch", "English"}) {
        w.window->setLanguage(language);
        const char* tag = language[0] == 'D' ? "de" : "en";
        w.select(1);
        w.show(ConsolePage::Extras, "extras_page", tag);
        auto* extras = static_cast<ExtrasPage*>(w.window->page(ConsolePage::Extras));
        EXPECT_TRUE(extras->functionBoxes[0]->isChecked());
        EXPECT_FALSE(extras->functionBoxes[4]->isChecked());
        EXPECT_FALSE(extras->txtTagName->text().isEmpty());
        w.show(ConsolePage::Filter, "filter_page", tag);
        EXPECT_EQ(static_cast<FilterPage*>(w.window->page(ConsolePage::Filter))->fields[0]->text(),
                  "1");
        w.show(ConsolePage::Profibus, "profibus_page", tag);
        w.show(ConsolePage::ProductionI, "production_page", tag);
        w.show(ConsolePage::CustomerSpecific, "customer_page", tag);
        w.select(2);
        w.show(ConsolePage::PressureControl, "pressure_control_page", tag);
        TPressSettings* dlg = w.window->pressSettingsDialog();
        dlg->FormShow();
        dlg->show();
        QApplication::processEvents();
        EXPECT_EQ(dlg->txtScaleFull->text(), "10");
        DemoWindow::shot(dlg, "tpress_settings", tag);
        dlg->hide();
        w.select(1);
        writeDataFile(w.dataFile(1));
        T4Lookup logic(*w.window->console().connection(), w.ui, w.window->texts());
        TT4Lookup t4(logic);
        t4.applyLanguage(w.window->texts());
        t4.FormActivate(w.dataFile(1));
        EXPECT_EQ(t4.clbCalib->count(), 3);
        EXPECT_EQ(t4.lstFile->count(), 2);
        DemoWindow::shot(&t4, "tt4_lookup", tag);
    }
}

// An upload whose device stops answering ends with a message, and the console polls again.
TEST(Series4PagesForm, FailedUploadEndsAndPollingResumes) {
    DemoWindow w;
    w.select(1);
    writeDataFile(w.dataFile(1));
    w.window->pollTimer()->start();
    QAction* menu = w.window->action("mnuKalibrationT4");
    ASSERT_TRUE(menu && menu->isEnabled());
    QTimer::singleShot(0, w.window.get(), [&] {
        auto* dlg = w.window->findChild<TT4Lookup*>();
        ASSERT_TRUE(dlg);
        EXPECT_FALSE(w.window->pollTimer()->isActive());
        dlg->clbCalib->setCurrentRow(2);
        dlg->lstFile->setCurrentRow(0);
        w.bus.device(1)->setFault(Fault::Silent);
        dlg->btnUpload->click();
        w.bus.device(1)->setFault(Fault::None);
        dlg->reject();
    });
    menu->trigger();
    EXPECT_TRUE(w.window->pollTimer()->isActive());
    ASSERT_FALSE(w.ui.messages.empty());
    EXPECT_NE(w.ui.messages.back().text.find(" 3"), std::string::npos);
    w.window->pollTimer()->stop();
}

} // namespace
} // namespace getkelo::sim::test

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
