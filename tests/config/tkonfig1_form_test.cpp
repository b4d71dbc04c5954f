#include "calib/forms/tdatei.h"
#include "config/forms/tkonfig1.h"
#include "config/konfig1.h"
#include "console/forms/tget_kelo_m.h"
#include "console/text_source.h"
#include "sim/device_profiles.h"
#include "sim_link.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTimer>
#include <fstream>
#include <gtest/gtest.h>

namespace getkelo::sim::test {
namespace {

// The dialog on the demo bus's first-generation device: opening reads the image; an edit is
// checked, marked and goes back to the device with nothing else changed.
// GETKELO_SCREENSHOT_DIR=<dir> also saves a picture of it.
TEST(TKonfig1Form, OpeningReadsTheImageAndAnEditGoesBackToTheDevice) {
    SimLink link;
    link.tesra->Address = 5;
    MapTextSource texts;
    Konfig1 logic{link.ui, texts};
    TKonfig1 dialog{logic, link.ui};
    std::vector<uint8_t> expected = link.device(5).serviceImage();
    auto edit = [&](const char* key, const char* text) {
        dialog.field(key)->setText(text);
        emit dialog.field(key)->editingFinished();
    };
    QTimer::singleShot(300, &dialog, [&] {
        EXPECT_EQ(dialog.field("Gas")->text(), "N2");
        edit("HeatPower", "95");
        EXPECT_EQ(dialog.field("HeatPower")->styleSheet(), "background: #ffffc0;");
        edit("HeatPower", "300");
        EXPECT_EQ(dialog.field("HeatPower")->text(), "95") << "a refused value goes back";
        EXPECT_EQ(link.ui.messages.size(), 1u);
        if (const char* dir = std::getenv("GETKELO_SCREENSHOT_DIR")) {
            EXPECT_TRUE(dialog.grab().save(QDir(dir).filePath("tkonfig1.png")));
        }
        link.ui.messageAnswers = {MsgAnswer::Yes};
        dialog.writeButton()->click();
        EXPECT_EQ(dialog.field("HeatPower")->styleSheet(), "") << "stored: no mark";
        dialog.accept();
    });
    dialog.open(*link.tesra);
    expected[0x100F] = 95;
    EXPECT_EQ(link.device(5).serviceImage(), expected);
    // A file of another kind is refused and the image shown stays.
    const std::string other = ::testing::TempDir() + "getkelo_not_an_image.eep";
    std::ofstream(other) << "[EEPROM]\nFormat=x\n";
    link.ui.chooserAnswers = {other};
    dialog.LadenClick();
    EXPECT_EQ(link.ui.messageTexts().back().rfind("Wrong file format", 0), 0u);
    EXPECT_EQ(dialog.field("HeatPower")->text(), "95");
}

// "OEM" in the main window opens the EEPROM dialog for a first-generation device, the factory
// configuration for the second and third, nothing for series 4.
TEST(OemMenu, OpensTheEepromDialogForTheFirstGenerationAndNothingForSeries4) {
    QTemporaryDir dir;
    VirtualClock clock;
    ScriptedUi ui;
    TComm comm{clock, &ui};
    SimBus bus{clock};
    for (const auto& c : demoBus())
        bus.addDevice(c);
    const std::string home = dir.path().toStdString() + "/";
    TGetKeloM window(comm, ui, ConsolePaths{home + "GetKelo.ini", GETKELO_DATA_DIR "/", home});
    window.console().setConnectionFactory([&bus](TComm& c) {
        return std::make_unique<TTesra>(
            c, c.AttachTransport(std::make_unique<SimTransport>(bus, c.clock())));
    });
    window.FormShow();
    for (int i = 0; i < 300 && (!window.console().started() || window.console().scanning()); ++i)
        window.console().TimerTimer();
    ASSERT_EQ(window.console().devices().count(), 5);
    QAction* oem = window.action("OEM");
    for (int row : {1, 3, 4, 5}) {
        window.console().selectRow(row);
        EXPECT_EQ(oem->isEnabled(), row >= 3) << row;
    }
    auto* dialog = window.findChild<TKonfig1*>();
    QString gain;
    QTimer::singleShot(300, dialog, [&] {
        gain = dialog->field("Gain")->text();
        EXPECT_FALSE(window.pollTimer()->isActive()) << "no polling while the dialog is open";
        dialog->reject();
    });
    oem->trigger();
    EXPECT_EQ(gain, "12");
    window.pollTimer()->stop();
}

TEST(TDateiForm, ListsTheDataSetsAndChoosesTheNewest) {
    const std::string file = ::testing::TempDir() + "getkelo_tdatei.dat";
    std::ofstream(file) << "[LOOKUP0]\nGas=N2\n[LOOKUP12]\nGas=Ar\n";
    TDatei chooser;
    chooser.FillDataSetChooser({file, "LOOKUP", "NOP", "NOP", "Gas", "Range", "FlowUnit"});
    ASSERT_EQ(chooser.ComboBox->count(), 2);
    EXPECT_EQ(chooser.chosenSection(), "LOOKUP12");
}

} // namespace
} // namespace getkelo::sim::test

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
