#include "page_fixture.h"
#include <algorithm>

namespace getkelo::test {
namespace {

using Access = std::vector<std::pair<uint16_t, int>>;
using Items = std::vector<std::string>;

TEST(SignalChoices, OlderDevicesBuildTheirEntriesFromTheFullScale) {
    struct Case {
        std::string typeText, fullScale;
        Items items;
    };
    for (const Case& c : {Case{"A1S0000", "20 mA", {"0..20 mA", "4..20 mA", "4..20mA Namur NE43"}},
                          Case{"C1S0000", "20 mA", {"0..20 mA", "4..20 mA", "4..20mA Namur NE43"}},
                          Case{"D1S0000", "5 V", {"0..5 V", "1..5 V"}},
                          Case{"E1S0000", "5 V", {"0..5 V", "1..5 V"}},
                          Case{"F1S0000", "10 V", {"0..10 V", "2..10 V"}},
                          Case{"", "20 mA", {"0..20 mA", "4..20 mA", "4..20mA Namur NE43"}}}) {
        EXPECT_EQ(fullScaleOf(c.typeText), c.fullScale) << c.typeText;
        EXPECT_EQ(signalItemsFor(c.fullScale), c.items) << c.fullScale;
    }
}

TEST(SignalChoices, Series4CodesMapToEntriesByTheOutputUnit) {
    EXPECT_EQ(series4SignalItems(),
              (Items{"0..20 mA", "4..20 mA", "0..5  V", "1..5 V", "0..10  V", "2..10 V"}));
    const int voltEntries[] = {2, 3, -1, 4, 5, -1};
    for (int code = 0; code < 6; ++code) {
        EXPECT_EQ(series4SignalEntry(code, true), voltEntries[code]) << code;
        EXPECT_EQ(series4SignalEntry(code, false), code) << code;
    }
    // Writing takes the same way back.
    for (int entry = 2; entry < 6; ++entry)
        EXPECT_EQ(series4SignalEntry(series4SignalCode(entry), true), entry);
}

class SignalPageTest : public PageTest {
  protected:
    SignalPage page{list, view, connection};
    std::vector<int> pressureCalls;
    void SetUp() override {
        page.setPressurePage([this](int code) { pressureCalls.push_back(code); });
    }
};

TEST_F(SignalPageTest, OlderControllerShowsItsChoicesValuesAndTheWarning) {
    device(kFnController | kFnReverseFlow, "2.3.01");
    peer->setText(0x1004, "A1S0000", 4);
    peer->regs[0x4084] = 0x0100; // low byte: output entry 0
    peer->regs[0x4085] = 0x0002;
    peer->regs[0x000E] = 10;
    peer->regs[0x4040] = 1;
    page.tbsSignaleShow();
    const SignalPageState& s = page.state();
    EXPECT_EQ(s.outputItems, (Items{"0..20 mA", "4..20 mA", "4..20mA Namur NE43"}));
    EXPECT_EQ(s.outputEntry, 0);
    EXPECT_EQ(s.inputEntry, 2);
    EXPECT_TRUE(s.inputVisible);
    EXPECT_EQ(s.modeEntry, 3);
    EXPECT_TRUE(s.powerUpOn);
    EXPECT_EQ(s.unit, "ln/min");
    EXPECT_TRUE(s.warningVisible);
    page.outputChange(1);
    EXPECT_FALSE(page.state().warningVisible);
    EXPECT_TRUE(page.state().outputChanged);
}

TEST_F(SignalPageTest, MeterReadsOnlyTheOutputCode) {
    device(kFnTotalizer, "2.3.01");
    page.tbsSignaleShow();
    EXPECT_FALSE(page.state().inputVisible);
    EXPECT_EQ(
        std::count(peer->reads.begin(), peer->reads.end(), std::make_pair(uint16_t(0x4084), 1)), 1);
    EXPECT_FALSE(page.state().warningVisible); // no reverse-flow detector
}

TEST_F(SignalPageTest, OlderDeviceWritesOnlyTheChangedFieldsThenRereads) {
    device(kFnController, "3.5.02");
    peer->setText(0x1004, "F1S0000", 4);
    page.tbsSignaleShow();
    page.outputChange(1);
    page.modeChange(3);
    peer->clearLog();
    page.UebernehmenClick();
    EXPECT_EQ(peer->writes, (Access{{0x4084, 1}, {0x000E, 1}}));
    EXPECT_EQ(peer->regs[0x4084], 1);
    EXPECT_EQ(peer->regs[0x000E], 10);
    EXPECT_EQ(page.state().modeEntry, 3);
    EXPECT_FALSE(page.state().modeChanged);
    EXPECT_EQ(pressureCalls, (std::vector<int>{10}));
}

TEST_F(SignalPageTest, Series4CopiesTheSlotAndWritesOnlyTheOutputWithItsScaleCharacter) {
    device(kFnController, "4.3.15");
    peer->regs[0x4139] = 2;
    peer->regs[0x5500] = 0; // current output
    peer->setText(0x1004, "A1S0000", 4);
    page.tbsSignaleShow();
    EXPECT_EQ(page.state().outputItems.size(), 6u);
    page.outputChange(4); // "0..10  V"
    page.cutOffChange("1.5");
    page.modeChange(1);
    peer->clearLog();
    page.UebernehmenClick();
    // slot copy, the output code, the adapted text; nothing else before the new showing.
    ASSERT_GE(peer->writes.size(), 3u);
    EXPECT_EQ(Access(peer->writes.begin(), peer->writes.begin() + 3),
              (Access{{0x5FFF, 1}, {0x4084, 1}, {0x1004, 4}}));
    EXPECT_EQ(peer->regs[0x5FFF], 2);
    EXPECT_EQ(peer->regs[0x4084], 3);
    EXPECT_EQ(peer->regs[0x1004] >> 8, 'F');
    // The control mode is written too (the pressure modes exist only on series 4); the
    // cut-off is not.
    EXPECT_EQ(peer->writes[3], std::make_pair(uint16_t(0x000E), 1));
    EXPECT_EQ(peer->regs[0x000E], 1);
    for (auto& w : peer->writes)
        EXPECT_NE(w.first, 0x404C);
}

TEST_F(SignalPageTest, Series4VoltOutputSelectsTheVoltEntry) {
    device(kFnController, "4.3.15");
    peer->regs[0x5500] = 1;
    peer->regs[0x4084] = 3;
    page.tbsSignaleShow();
    EXPECT_EQ(page.state().outputEntry, 4);
}

} // namespace
} // namespace getkelo::test
