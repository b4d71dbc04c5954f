#include "base/ini_file.h"
#include "comm/register_catalogue.h"
#include "config/forms/setup_menu.h"
#include "config/forms/tdaten.h"
#include "config/forms/tkonfig2.h"
#include "config/forms/tsetup_diff.h"
#include "config/setup_export.h"
#include "console/forms/tget_kelo_m.h"
#include "console/text_source.h"
#include "sim/device_profiles.h"
#include "sim_link.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTimer>
#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

namespace getkelo::sim::test {
namespace {

namespace fs = std::filesystem;

void screenshot(QWidget& w, const char* name) {
    if (const char* dir = std::getenv("GETKELO_SCREENSHOT_DIR")) {
        w.adjustSize();
        EXPECT_TRUE(w.grab().save(QDir(dir).filePath(name)));
    }
}

struct SetupForms : ::testing::Test {
    SimLink link;
    MapTextSource texts;
    QWidget parent;
    SetupMenu menu{link.ui, texts, link.demo.clock, &parent};
    fs::path dir = fs::temp_directory_path() / ("getkelo_forms_" + std::to_string(getpid()));
    void TearDown() override { fs::remove_all(dir); }
};

// The dialog on the third-generation device 3: it shows what it read, marks a refused number
// red and writes nothing while it stands; the data-set window starts at the device's file.
TEST_F(SetupForms, Konfig2ShowsTheDeviceAndRefusesText) {
    link.tesra->Address = 3;
    TKonfig2& dialog = *menu.konfig2();
    const std::string file = (dir / "23010003t03.dat").string();
    QTimer::singleShot(200, &dialog, [&] {
        EXPECT_EQ(dialog.field("Range")->text(), "20");
        EXPECT_EQ(dialog.choice("FUnit")->currentText(), "ln/min");
        dialog.lutBox()->setCurrentIndex(1);
        dialog.LuTBoxSelect(1);
        EXPECT_FALSE(dialog.field("kFT")->text().isEmpty());
        dialog.field("Range")->setText("1e999");
        emit dialog.field("Range")->editingFinished();
        EXPECT_EQ(dialog.field("Range")->styleSheet(), "background: #ffc0c0;");
        const size_t sent = link.writeRequests().size();
        dialog.OKBtnClick();
        EXPECT_EQ(link.writeRequests().size(), sent);
        screenshot(dialog, "tkonfig2.png");
        dialog.reject();
    });
    menu.openKonfig2(*link.tesra, file);
    EXPECT_EQ(menu.daten()->fileEdit()->text().toStdString(), file);
    menu.daten()->SichernClick();
    EXPECT_NE(link.ui.messageTexts().back().find("Range"), std::string::npos)
        << "a refused value is not saved either";
    EXPECT_FALSE(fs::exists(file));
    menu.konfig2()->FormActivate();
    menu.daten()->SichernClick();
    EXPECT_TRUE(IniFile(file).sectionExists("CONFIG"));
    EXPECT_NE(IniFile(file).readString("CONFIG", "P4"), "");
    menu.daten()->setFile(file);
    EXPECT_EQ(menu.daten()->sectionBox()->currentText(), "CONFIG_LOOKUP");
    screenshot(*menu.daten(), "tdaten.png");
}

TEST_F(SetupForms, CompareShowsTheChangedKeyInATable) {
    link.tesra->Address = 1;
    const std::string file = (dir / "24010001t04.dat").string();
    ASSERT_TRUE(SetupExport(*link.tesra, link.ui, texts).WriteSetupFile(file, "", "", ""));
    link.demo.unlock(1);
    ASSERT_EQ(link.demo.write(1, makeDescriptor(0x5C09, 1, kTypeUInt16), "14"), "ok");
    ASSERT_EQ(link.demo.write(1, makeDescriptor(0x5200, 1, kTypeUInt16), "9600"), "ok");
    link.ui.chooserAnswers = {file};
    QTimer::singleShot(200, menu.diff(), [&] {
        QTableWidget* t = menu.diff()->table();
        ASSERT_EQ(t->rowCount(), 2);
        EXPECT_EQ(t->item(0, 1)->text(), "Baudrate");
        EXPECT_EQ(t->item(0, 2)->text(), "19200");
        EXPECT_EQ(t->item(0, 3)->text(), "9600");
        EXPECT_EQ(t->item(1, 1)->text(), "FilterFactor");
        screenshot(*menu.diff(), "setup_diff.png");
        menu.diff()->accept();
    });
    menu.VergleichenClick(*link.tesra, "4.3.15", "24010001", {dir.string(), dir.string(), false});
    EXPECT_EQ(link.ui.messages.size(), 0u);
}

// The main window: "Konfig erzeugen" (Ctrl+S) writes the selected series-4 device's setup file
// into the data-file directory, with the polling stopped meanwhile and started again.
TEST(SetupMenuEntries, ExportFromTheMainWindow) {
    QTemporaryDir dir;
    VirtualClock clock;
    ScriptedUi ui;
    TComm comm{clock, &ui};
    SimBus bus{clock};
    for (const auto& c : demoBus())
        bus.addDevice(c);
    const std::string home = dir.path().toStdString() + "/";
    IniFile(home + "GetKelo.ini").writeString("Programm", "DatVerzeichnis", home + "dat");
    TGetKeloM window(comm, ui, ConsolePaths{home + "GetKelo.ini", GETKELO_DATA_DIR "/", home});
    window.console().setConnectionFactory([&bus](TComm& c) {
        return std::make_unique<TTesra>(
            c, c.AttachTransport(std::make_unique<SimTransport>(bus, c.clock())));
    });
    window.FormShow();
    for (int i = 0; i < 300 && (!window.console().started() || window.console().scanning()); ++i)
        window.console().TimerTimer();
    window.console().selectRow(1);
    QAction* exportAction = window.action("ExportMnu");
    ASSERT_TRUE(exportAction->isEnabled());
    EXPECT_EQ(exportAction->shortcut(), QKeySequence("Ctrl+S"));
    EXPECT_TRUE(window.action("CompareMnu")->isEnabled());
    exportAction->trigger();
    EXPECT_TRUE(IniFile(home + "dat/24010001t04.dat").sectionExists("SETUP_LUT_2"));
    EXPECT_TRUE(window.pollTimer()->isActive());
    window.pollTimer()->stop();
}

} // namespace
} // namespace getkelo::sim::test

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
