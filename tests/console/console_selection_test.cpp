#include "console_fixture.h"

#include "comm/register_descriptor.h"

namespace getkelo::test {
namespace {

using sim::Generation;

class SelectionTest : public ConsoleTest {
  protected:
    // Starts with one stored device and selects it.
    void startWith(const sim::DeviceConfig& c) {
        bus.addDevice(c);
        writeText(ini(), "[Init]\ntesra_1=" + std::to_string(c.address) + "\n");
        start();
        ASSERT_EQ(list().count(), 1);
    }
};

TEST_F(SelectionTest, Software4005GivesTheSecondGenerationsPages) {
    auto c = simDevice(Generation::Second, 4, 404);
    c.software = "4.0.05";
    c.functions = 0x13;
    startWith(c);
    EXPECT_TRUE(view.page(ConsolePage::Signals));
    EXPECT_TRUE(view.page(ConsolePage::Alarm));
    EXPECT_FALSE(view.page(ConsolePage::Extras));
    EXPECT_FALSE(view.page(ConsolePage::Filter));
    EXPECT_FALSE(view.page(ConsolePage::Profibus));
    EXPECT_TRUE(view.isEnabled(ConsoleControl::GraphMenu));
    EXPECT_FALSE(view.isEnabled(ConsoleControl::CalibrationMenu));
    EXPECT_FALSE(view.visible[ConsoleControl::UpdateMenu]);
    EXPECT_TRUE(view.visible[ConsoleControl::OemMenu]);
    EXPECT_EQ(view.software, "4.0.05");
    EXPECT_EQ(view.modeItems.size(), 8u);
}

TEST_F(SelectionTest, Series4ShowsItsPagesAndWritesTheSlotSelector) {
    auto c = simDevice(Generation::Series4, 6, 606);
    c.functions = 0x13; // controller, totalizer, Profibus
    c.activeSlot = 2;
    c.usedSlots = {1, 2};
    startWith(c);
    EXPECT_TRUE(view.page(ConsolePage::Extras));
    EXPECT_TRUE(view.page(ConsolePage::Filter));
    EXPECT_TRUE(view.page(ConsolePage::Profibus));
    EXPECT_FALSE(view.page(ConsolePage::PressureControl));
    EXPECT_TRUE(view.visible[ConsoleControl::UpdateMenu]);
    EXPECT_TRUE(view.visible[ConsoleControl::DataSets4Menu]);
    EXPECT_FALSE(view.visible[ConsoleControl::OemMenu]);
    EXPECT_TRUE(view.isEnabled(ConsoleControl::CalibrationMenu));
    EXPECT_TRUE(view.isEnabled(ConsoleControl::TotalReset));
    EXPECT_EQ(view.unitLabels, "ln/min");
    // The selector ends up holding what 0x4139 holds.
    EXPECT_EQ(bus.device(6)->get(makeDescriptor(0x5FFF, 1, kTypeUInt16)),
              bus.device(6)->get(makeDescriptor(0x4139, 1, kTypeUInt16)));
}

TEST_F(SelectionTest, Version4314HidesThePressurePage) {
    auto c = simDevice(Generation::Series4, 2, 202);
    c.software = "4.3.14";
    c.functions = 0x21;
    c.controlMode = 5;
    startWith(c);
    EXPECT_FALSE(view.page(ConsolePage::PressureControl));
    EXPECT_EQ(view.modeItems.size(), 8u);
}

TEST_F(SelectionTest, Version4315WithBit5AndMode5ShowsThePressurePage) {
    auto c = simDevice(Generation::Series4, 2, 202);
    c.software = "4.3.15";
    c.functions = 0x21;
    c.controlMode = 5;
    startWith(c);
    EXPECT_TRUE(view.page(ConsolePage::PressureControl));
    ASSERT_EQ(view.modeItems.size(), 10u);
    EXPECT_EQ(view.modeItems[9], "Modus 9");
}

TEST_F(SelectionTest, ServiceAndProductionModesShowTheirPages) {
    bus.addDevice(simDevice(Generation::Series4, 1, 101));
    writeText(ini(), "[Programm]\nServicePasswort=R2K123\n[Produktion]\nProduktion=QZPN\n"
                     "[Init]\ntesra_1=1\n");
    start();
    EXPECT_TRUE(console->settings().serviceMode);
    EXPECT_TRUE(view.page(ConsolePage::CustomerSpecific));
    EXPECT_TRUE(view.page(ConsolePage::ProductionI));
}

TEST_F(SelectionTest, LoggerPageClickTwiceLeavesTheMarkAsItWas) {
    bus.addDevice(simDevice(Generation::Second, 1, 101));
    bus.addDevice(simDevice(Generation::Second, 2, 102));
    writeText(ini(), "[Init]\ntesra_1=1\ntesra_2=2\ntesraLog_1=1\n");
    start();
    view.front = ConsolePage::Logger;
    console->selectRow(2);
    // "Nur markiertes Gerät": the other rows lose their marks.
    EXPECT_EQ(list().cell(1, kColLogMark), "");
    EXPECT_EQ(list().cell(2, kColLogMark), " x");
    console->selectRow(2);
    console->selectRow(2);
    EXPECT_EQ(list().cell(2, kColLogMark), " x");
    EXPECT_EQ(view.front, ConsolePage::Logger);
}

TEST_F(SelectionTest, MixerPageClickTogglesTheMixerMark) {
    struct Mixer : MixerHook {
        std::vector<int> changed;
        bool mixing() const override { return false; }
        void step() override {}
        void marksChanged(int row) override { changed.push_back(row); }
        void stop() override {}
        void rowRemoved(int) override {}
    } mixer;
    bus.addDevice(simDevice(Generation::Series4, 1, 101));
    writeText(ini(), "[Init]\ntesra_1=1\n");
    makeConsole();
    console->setMixerHook(&mixer);
    start();
    view.front = ConsolePage::Mixer;
    console->selectRow(1);
    EXPECT_EQ(list().cell(1, kColMixMark), " x");
    EXPECT_EQ(mixer.changed, std::vector<int>{1});
}

} // namespace
} // namespace getkelo::test
