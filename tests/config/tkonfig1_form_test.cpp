#include "config/forms/tkonfig1.h"
#include "config/konfig1.h"
#include "console/forms/tget_kelo_m.h"
#include "console/text_source.h"
#include "shell/language_text_source.h"
#include "sim/device_profiles.h"
#include "sim_link.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTimer>
#include <filesystem>
#include <gtest/gtest.h>

namespace getkelo::sim::test {
namespace {

constexpr uint8_t kFirst = 5;

// The dialog on the demo bus's first-generation device, with a scripted operator.
class TKonfig1Form : public ::testing::Test {
  protected:
    SimLink link;
    MapTextSource texts;
    Konfig1 logic{link.ui, texts};
    TKonfig1 dialog{logic, link.ui};

    void SetUp() override { link.tesra->Address = kFirst; }
    void edit(const std::string& key, const QString& text) {
        dialog.field(key)->setText(text);
        emit dialog.field(key)->editingFinished();
    }
};

TEST_F(TKonfig1Form, OpeningReadsTheImageAndAnEditGoesBackToTheDevice) {
    std::vector<uint8_t> expected = link.device(kFirst).serviceImage();
    QTimer::singleShot(300, &dialog, [&] {
        EXPECT_EQ(dialog.field("Gain")->text(), "12");
        EXPECT_EQ(dialog.field("Gas")->text(), "N2");
        edit("HeatPower", "95");
        EXPECT_EQ(dialog.field("HeatPower")->styleSheet(), "background: #ffffc0;");
        edit("HeatPower", "300");
        EXPECT_EQ(dialog.field("HeatPower")->text(), "95") << "a refused value goes back";
        EXPECT_EQ(link.ui.messages.size(), 1u);
        if (const char* dir = std::getenv("GETKELO_SCREENSHOT_DIR"))
            EXPECT_TRUE(dialog.grab().save(QDir(dir).filePath("tkonfig1.png")));
        link.ui.messageAnswers = {MsgAnswer::Yes};
        dialog.writeButton()->click();
        EXPECT_EQ(dialog.field("HeatPower")->styleSheet(), "") << "stored: no mark";
        dialog.accept();
    });
    dialog.open(*link.tesra);
    expected[0x100F] = 95;
    EXPECT_EQ(link.device(kFirst).serviceImage(), expected);
    EXPECT_EQ(link.ui.progressEvents.front(), "start:EEPROM|Lese EEPROM...|4880");
}

TEST_F(TKonfig1Form, WithoutAnImageNothingCanBeWrittenOrSaved) {
    link.demo.bus.setFault(kFirst, Fault::Silent);
    logic.setConnection(link.tesra.get());
    dialog.LesenClick();
    EXPECT_FALSE(dialog.writeButton()->isEnabled());
    EXPECT_FALSE(dialog.field("Gain")->isEnabled());
    EXPECT_TRUE(dialog.readButton()->isEnabled());
}

TEST_F(TKonfig1Form, SavedImageLoadsBackAndTheLanguageApplies) {
    logic.setConnection(link.tesra.get());
    dialog.LesenClick();
    edit("Step", "4");
    const auto file = std::filesystem::temp_directory_path() / "getkelo_tkonfig1_form";
    link.ui.chooserAnswers = {file.string(), file.string() + ".eep"};
    dialog.SpeichernClick();
    ASSERT_TRUE(std::filesystem::exists(file.string() + ".eep")) << "the extension is added";
    edit("Step", "5");
    dialog.LadenClick();
    EXPECT_EQ(dialog.field("Step")->text(), "4");
    std::filesystem::remove(file.string() + ".eep");

    LanguageTextSource english(GETKELO_DATA_DIR "/", "English");
    dialog.applyLanguage(english);
    EXPECT_EQ(dialog.windowTitle(), "EEPROM configuration");
    EXPECT_EQ(dialog.writeButton()->text(), "Write EEPROM");
}

// "OEM" in the main window opens this dialog for a first-generation device only.
TEST(OemMenu, OpensTheEepromDialogForTheFirstGenerationOnly) {
    QTemporaryDir dir;
    VirtualClock clock;
    ScriptedUi ui;
    TComm comm{clock, &ui};
    SimBus bus{clock};
    for (const auto& c : demoBus())
        bus.addDevice(c);
    TGetKeloM window(comm, ui,
                     ConsolePaths{dir.path().toStdString() + "/GetKelo.ini", GETKELO_DATA_DIR "/",
                                  dir.path().toStdString() + "/"});
    window.console().setConnectionFactory([&bus](TComm& c) {
        return std::make_unique<TTesra>(
            c, c.AttachTransport(std::make_unique<SimTransport>(bus, c.clock())));
    });
    window.FormShow();
    for (int i = 0; i < 260 && window.console().scanning(); ++i)
        window.console().TimerTimer();
    window.pollTimer()->stop();
    ASSERT_EQ(window.console().devices().count(), 5);
    QAction* oem = window.action("OEM");
    for (int row : {1, 3, 4}) {
        window.console().selectRow(row);
        window.pollTimer()->stop();
        EXPECT_FALSE(oem->isEnabled()) << row;
    }
    window.console().selectRow(5);
    window.pollTimer()->stop();
    ASSERT_TRUE(oem->isEnabled());
    window.console().TimerTimer(); // polling leaves the connection wherever it last was
    window.pollTimer()->stop();
    auto* dialog = window.findChild<TKonfig1*>();
    ASSERT_NE(dialog, nullptr);
    QString gain;
    QTimer::singleShot(300, dialog, [&] {
        gain = dialog->field("Gain")->text();
        EXPECT_FALSE(window.pollTimer()->isActive()) << "no polling while the dialog is open";
        dialog->reject();
    });
    oem->trigger();
    EXPECT_EQ(gain, "12");
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
