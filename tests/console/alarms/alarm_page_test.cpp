#include "page_fixture.h"

namespace getkelo::test {
namespace {

using Access = std::vector<std::pair<uint16_t, int>>;

class AlarmPageTest : public PageTest {
  protected:
    AlarmPage page{list, view, connection};
};

TEST_F(AlarmPageTest, TabFollowsTheMaskOfTheDeviceKind) {
    struct Case {
        uint32_t functions;
        uint16_t alarmWord;
        bool highlighted;
    } cases[] = {
        {0, 0x0001, false},
        {kFnController, 0x0001, true},
        {0, 0x0020, true},
        {kFnTotalizer, 0x0400, false},
        {kFnController, 0x0400, true},
        {kFnController, 0x0800, false}, // no lamp there
        {kFnController, 0, false},
    };
    device(0);
    view.front = ConsolePage::Modbus;
    for (const Case& k : cases) {
        list.record(1).functions = k.functions;
        peer->regs[0x000D] = k.alarmWord;
        page.refresh(1);
        EXPECT_EQ(page.state().tabHighlighted, k.highlighted) << k.functions << " " << k.alarmWord;
    }
}

TEST_F(AlarmPageTest, DeviceWithoutReverseFlowDetectorReadsOnlyTheAlarmWord) {
    device(kFnController);
    view.front = ConsolePage::Alarm;
    page.refresh(1);
    EXPECT_EQ(peer->reads, (Access{{0x000D, 1}}));
}

TEST_F(AlarmPageTest, ReverseFlowDeviceReadsBothWordsInOneRequestAndLightsItsLamps) {
    device(kFnController | kFnReverseFlow);
    peer->regs[0x000C] = 0x0002;
    peer->regs[0x000D] = 0x0009;
    view.front = ConsolePage::Alarm;
    page.refresh(1);
    EXPECT_EQ(peer->reads, (Access{{0x000C, 2}}));
    EXPECT_TRUE(page.state().lamp(0));
    EXPECT_FALSE(page.state().lamp(1));
    EXPECT_TRUE(page.state().lamp(3));
    EXPECT_FALSE(page.state().reverseLamp(0));
    EXPECT_TRUE(page.state().reverseLamp(1));
}

TEST_F(AlarmPageTest, LampsChangeOnlyWhileTheAlarmPageIsInFrontAndOtherPagesReadNothing) {
    device(kFnController);
    peer->regs[0x000D] = 0x0004;
    view.front = ConsolePage::Modbus;
    page.refresh(1);
    EXPECT_TRUE(page.state().tabHighlighted);
    EXPECT_FALSE(page.state().lamp(2));

    view.front = ConsolePage::Logger;
    peer->clearLog();
    page.refresh(1);
    EXPECT_TRUE(peer->reads.empty());
}

TEST_F(AlarmPageTest, ShowingTheControllerPageReadsSettingsAndClearsMarks) {
    device(kFnController | kFnReverseFlow);
    peer->regs[0x404E] = 1;
    peer->regs[0x4087] = 7;
    peer->regs[0x4052] = 0x40A0; // 5.0f
    peer->regs[0x4053] = 0x0000;
    page.delayChange("3");
    page.AlarmSheetShow();
    const AlarmPageState& s = page.state();
    EXPECT_TRUE(s.controllerGroupsVisible);
    EXPECT_TRUE(s.reverseFlowVisible);
    EXPECT_TRUE(s.detector);
    EXPECT_EQ(s.delay, "7");
    EXPECT_EQ(s.limit, "5");
    EXPECT_FALSE(s.delayChanged);
    EXPECT_TRUE(view.timerOn);
}

TEST_F(AlarmPageTest, MeterPageHidesControllerGroupsAndReadsNoControllerSettings) {
    device(kFnTotalizer);
    page.AlarmSheetShow();
    EXPECT_FALSE(page.state().controllerGroupsVisible);
    EXPECT_FALSE(page.state().reverseFlowVisible);
    EXPECT_TRUE(peer->reads.empty());
}

TEST_F(AlarmPageTest, OnlyChangedFieldsAreWrittenOnceWithTheirOwnValues) {
    device(kFnController | kFnReverseFlow);
    peer->regs[0x404E] = 1;
    page.AlarmSheetShow();
    page.delayChange("12");
    peer->clearLog();
    page.UebernehmenClick();
    EXPECT_EQ(peer->writes, (Access{{0x4087, 1}}));
    EXPECT_EQ(page.state().delay, "12"); // read back by the new showing
    EXPECT_FALSE(page.state().delayChanged);

    page.detectorClick(false);
    page.limitChange("2,5");
    page.delayChange("4");
    peer->clearLog();
    page.UebernehmenClick();
    EXPECT_EQ(peer->writes, (Access{{0x404E, 1}, {0x4052, 2}, {0x4087, 1}}));
    EXPECT_EQ(peer->regs[0x404E], 0);
    EXPECT_EQ(peer->regs[0x4052], 0x4020); // 2.5f
    EXPECT_EQ(page.state().limit, "2.5");
}

TEST_F(AlarmPageTest, SelectingADeviceRereadsThePageInFront) {
    device(kFnController);
    peer->regs[0x4087] = 9;
    page.deviceSelected(1, ConsolePage::Alarm);
    EXPECT_EQ(page.state().delay, "9");
    peer->clearLog();
    page.deviceSelected(1, ConsolePage::Logger);
    EXPECT_TRUE(peer->reads.empty());
}

} // namespace
} // namespace getkelo::test
