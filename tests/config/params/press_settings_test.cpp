#include "config/params/series4_page_registers.h"
#include "config/press/press_settings.h"
#include "params_fixture.h"

namespace getkelo::test {
namespace {

TEST_F(ParamsTest, ControlModeWithoutEntryStaysUnchanged) {
    put(reg::kControlMode, "3");
    put(reg::kPressSwitchWord, "3");
    put(reg::kPressActiveSetS4, "2");
    PressSettings dlg(context);
    dlg.FormShow();
    EXPECT_EQ(dlg.state().modeEntry, -1);
    EXPECT_EQ(dlg.state().shownTab, 2);
    EXPECT_TRUE(dlg.state().invert);
    dlg.state().invert = false;
    peer->clearLog();
    dlg.btnSaveClick();
    EXPECT_FALSE(written(0x000E));
    EXPECT_EQ(get(reg::kPressSwitchWord), "1"); // only bit 1 cleared
    EXPECT_EQ(get(reg::kControlMode), "3");
    dlg.state().modeEntry = 1;
    dlg.btnSaveClick();
    EXPECT_EQ(get(reg::kControlMode), "6");
    EXPECT_EQ(dlg.modeNames()[0], "digital");
}

TEST_F(ParamsTest, ActiveSetOutsideRangeShowsFirstTab) {
    put(reg::kPressActiveSetS4, "7");
    PressSettings dlg(context);
    dlg.FormShow();
    EXPECT_TRUE(dlg.state().activeSetOutside);
    EXPECT_EQ(dlg.state().shownTab, 0);
    EXPECT_TRUE(dlg.frame(0).loaded());
    EXPECT_FALSE(dlg.frame(1).loaded());
}

TEST_F(ParamsTest, EditedSetsAreWrittenUnshownOnesNot) {
    put(reg::kLutSelect, "2");
    PressSettings dlg(context);
    dlg.FormShow();
    dlg.frame(0).txtKpChange("11");
    dlg.PageControl1Change(3); // reads set 3
    dlg.PageControl1Change(0); // keeps the edit of set 0
    EXPECT_EQ(dlg.frame(0).kp(), "11");
    dlg.frame(3).txtKdChange("4");
    peer->clearLog();
    dlg.btnSaveClick();
    // Set 0 (shown) and set 3 (edited); sets 1, 2, 4 were never read and stay as they are.
    int setWrites = 0;
    for (auto& w : peer->writes)
        if (w.first == 0x5F1F) ++setWrites;
    EXPECT_EQ(setWrites, 2);
    EXPECT_EQ(get(reg::kSlotSelector), "0");
}

} // namespace
} // namespace getkelo::test
