#include "console_fixture.h"

#include "base/cp1252.h"
#include "base/number_format.h"
#include "console/forms/mixer_page.h"
#include "console/mixer/console_mixer_host.h"
#include "console/mixer/gas_mixer.h"

#include <QApplication>
#include <QDir>

namespace getkelo::test {
namespace {

// The "Mischer" page on the demo bus: the operator's clicks reach the mixer, and the page
// shows the mixture while it runs.
class MixerPageTest : public ConsoleTest {
  protected:
    void SetUp() override {
        std::string text = "[Init]\nMulti=0\n";
        int n = 1;
        for (const sim::DeviceConfig& c : sim::demoBus()) {
            bus.addDevice(c);
            text += "tesra_" + std::to_string(n++) + "=" + std::to_string(c.address) + "\n";
        }
        text += "[Mischer0]\nName=N2 Master-Slave\ntesra_1=1\ntesra_2=3\nGasName_1=N2\n"
                "GasAnteil_1=Master\nGasName_2=N2\nGasAnteil_2=0.5\nAnteil=0\n"
                "[Mischer1]\nName=Prüfgas fix\ntesra_1=4\nGasName_1=N2\nGasAnteil_1=1\n";
        writeText(ini(), utf8ToCp1252(text)); // settings files are Windows-1252
        makeConsole();
        host = std::make_unique<ConsoleMixerHost>(*console, view);
        mixer = std::make_unique<GasMixer>(*host, console->settings().file(), ui);
        console->setMixerHook(mixer.get());
        start();
        page = std::make_unique<MixerPage>();
        page->attach(*mixer);
        page->setMixerNames({});
    }
    void tick() {
        clock.advanceMs(100);
        console->TimerTimer();
        QApplication::processEvents();
    }

    std::unique_ptr<ConsoleMixerHost> host;
    std::unique_ptr<GasMixer> mixer;
    std::unique_ptr<MixerPage> page;
};

TEST_F(MixerPageTest, OperatorRunsAMasterSlaveMixtureFromThePage) {
    ASSERT_EQ(page->MischerListBox->count(), 2);
    EXPECT_EQ(page->MischerListBox->item(1)->text(), QString("Prüfgas fix"));
    EXPECT_FALSE(page->MixOKBtn->isEnabled()); // nothing selected yet

    page->MischerListBox->setCurrentRow(0);
    EXPECT_EQ(mixer->state().selected, 0);
    EXPECT_EQ(page->MischTypBox->currentIndex(), 1);
    ASSERT_EQ(page->GasGrid->rowCount(), 2);
    EXPECT_EQ(page->GasGrid->item(0, 1)->text(), QString("Master"));
    EXPECT_EQ(page->GasGrid->item(1, 1)->text(), QString("50"));

    page->EinheitBox->setCurrentText("ln/min");
    emit page->EinheitBox->activated(page->EinheitBox->currentIndex());
    EXPECT_EQ(page->TotalRangeEdit->text(), QString("40"));

    page->MischerListBox->item(0)->setCheckState(Qt::Checked);
    EXPECT_TRUE(mixer->state().mixers[0].active);
    page->SollwertEdit->setText("50");
    page->SollMixOKBtn->click(); // above the range of 40
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Sollwert zu gross!");
    EXPECT_EQ(page->SollwertEdit->text(), QString("40"));

    page->MixBtn->click();
    EXPECT_TRUE(mixer->mixing());
    EXPECT_FALSE(page->NeuBtn->isEnabled());
    EXPECT_FALSE(page->GasGrid->isEnabled());
    EXPECT_TRUE(page->StopBtn2->isEnabled());
    for (int i = 0; i < 40; ++i)
        tick();
    EXPECT_NEAR(page->TotalFlowEdit->text().toDouble(), 40, 1);
    EXPECT_EQ(page->SollwertEdit->text(), QString("40")); // the running setpoint, not the old one
    EXPECT_FALSE(page->GesamttotalEdit->text().isEmpty());

    if (const char* dir = std::getenv("GETKELO_SCREENSHOT_DIR")) {
        page->resize(960, 340);
        page->show();
        QApplication::processEvents();
        EXPECT_TRUE(page->grab().save(QDir(dir).filePath("mixer_page.png")));
    }

    ui.messageAnswers.push_back(MsgAnswer::No);
    page->StopBtn2->click();
    EXPECT_FALSE(mixer->mixing());
    EXPECT_TRUE(page->TotalFlowEdit->text().isEmpty());
    EXPECT_TRUE(page->NeuBtn->isEnabled());
}

} // namespace
} // namespace getkelo::test

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
