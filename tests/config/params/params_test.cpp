#include "config/params/extras_params.h"
#include "config/params/filter_params.h"
#include "config/params/pressure_control_params.h"
#include "config/params/production_params.h"
#include "config/params/profibus_params.h"
#include "config/params/series4_page_registers.h"
#include "params_fixture.h"

namespace getkelo::test {
namespace {

TEST_F(ParamsTest, UncheckingTotalizerClearsOnlyItsBit) {
    put(reg::kFunctionsSelected, "63");
    ExtrasParams page(context);
    page.tbsTesra4Show();
    auto boxes = page.state().functions;
    EXPECT_TRUE(std::all_of(boxes.begin(), boxes.end(), [](bool b) { return b; }));
    boxes[1] = false; // "Totalisator"
    page.btnFSaveClick(boxes);
    EXPECT_EQ(get(reg::kFunctionsSelected), "61"); // 0x3D
    EXPECT_FALSE(page.state().functions[1]);
    // Polling went off for the handler and is back on.
    EXPECT_TRUE(view.timerOn);
    EXPECT_EQ(view.modeItems.size(), 10u); // "Druckregler" ticked: ten control modes
}

TEST_F(ParamsTest, ProfibusBoxAndPageFollowVersionAndBit) {
    put(reg::kFunctionsSelected, "16");
    ExtrasParams page(context);
    version("4.3.06");
    page.tbsTesra4Show();
    EXPECT_TRUE(page.state().profibusBoxVisible);
    EXPECT_TRUE(view.pages[ConsolePage::Profibus]);
    EXPECT_FALSE(page.state().pressureBoxVisible); // below "4.3.15"
    EXPECT_EQ(view.modeItems.size(), 8u);
    version("4.3.05");
    page.tbsTesra4Show();
    EXPECT_FALSE(page.state().profibusBoxVisible);
    EXPECT_FALSE(view.pages[ConsolePage::Profibus]);
}

TEST_F(ParamsTest, SlotFieldAboveFFIsRefusedAndReset) {
    ProfibusParams page(context);
    EXPECT_TRUE(page.hexFieldChange(HexField::AddressSlot, "fe"));
    EXPECT_FALSE(page.hexFieldChange(HexField::AddressSlot, "100"));
    EXPECT_EQ(page.state().hex[0], "0");
    EXPECT_FALSE(page.hexFieldChange(HexField::DataIndex, "x1"));
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].text, "slot error");
    EXPECT_EQ(ui.messages[0].caption, "Get Kel-o");
    EXPECT_EQ(ui.messages[1].text, "index error");
}

TEST_F(ParamsTest, ProfibusSaveWritesSlotAndIndexWords) {
    put(reg::kProfibusAdress, "12");
    ProfibusParams page(context);
    page.tbsProfibusShow();
    EXPECT_TRUE(page.state().notActiveLabel);
    EXPECT_EQ(page.state().address, "12");
    page.state().indexedAccess = true;
    page.hexFieldChange(HexField::AddressSlot, "1");
    page.hexFieldChange(HexField::AddressIndex, "A0");
    page.hexFieldChange(HexField::DataSlot, "2");
    page.hexFieldChange(HexField::DataIndex, "3");
    page.btnProfibusSaveClick();
    EXPECT_EQ(get(reg::kProfibusAddressSlot), std::to_string(0x1A0));
    EXPECT_EQ(get(reg::kProfibusDataSlot), std::to_string(0x203));
    EXPECT_EQ(get(reg::kProfibusIndexed), "1");
    EXPECT_EQ(page.state().hex[1], "A0"); // read back after the save
}

TEST_F(ParamsTest, PressureSetpointAboveLimitIsReplacedByLimit) {
    put(reg::kPressScaleFullS4, "10");
    PressureControlParams page(context);
    page.btnPControlSSetpointClick("10,5"); // integer parts equal, the number is above
    EXPECT_EQ(get(reg::kPressSetpointS4), "10");
    EXPECT_EQ(get(reg::kCommand), "1");
    page.btnPControlSSetpointClick("7.5");
    EXPECT_EQ(page.state().setpoint, "7.5");
    peer->clearLog();
    page.btnPControlSSetpointClick("abc");
    EXPECT_FALSE(written(0x5F06));
    EXPECT_EQ(ui.messages.size(), 1u);
}

TEST_F(ParamsTest, FlowLimitBitIsSetAloneAndLimitWritten) {
    put(reg::kPressSwitchWord, "2");
    PressureControlParams page(context);
    page.tbsPControlShow();
    EXPECT_FALSE(page.state().flowLimit);
    put(reg::kPressFlowLimitS4, "40");
    page.chkPControlFLimitClick(true);
    EXPECT_EQ(page.state().flowLimitValue, "40");
    page.state().flowLimitValue = "25";
    page.btnSavePressClick();
    EXPECT_EQ(get(reg::kPressSwitchWord), "3");
    EXPECT_EQ(get(reg::kPressFlowLimitS4), "25");
}

TEST_F(ParamsTest, AnalogRangesAreCheckedBeforeAnyWrite) {
    struct Case {
        bool voltage;
        const char *min, *max;
        bool valid;
    } cases[] = {{true, "0", "11", false},    {false, "4", "20", true},  {true, "0", "10", true},
                 {false, "4.5", "20", false}, {false, "20", "4", false}, {true, "-1", "5", false}};
    for (const Case& c : cases)
        EXPECT_EQ(analogRangeValid({true, c.voltage, c.min, c.max}), c.valid) << c.min << c.max;

    put(reg::kTypeCode2, "A1S0000");
    ProductionParams page(context);
    page.btnSaveAnalogClick({true, true, "0", "11"}, {});
    EXPECT_TRUE(page.state().analogWrong);
    EXPECT_TRUE(peer->writes.empty());
    page.btnSaveAnalogClick({true, false, "4", "20"}, {});
    EXPECT_FALSE(page.state().analogWrong);
    EXPECT_EQ(get(reg::kCurrentInUserMin), "4");
    EXPECT_EQ(get(reg::kCurrentInUserMax), "20");
    EXPECT_EQ(get(reg::kVoltageInActive), "0");
    EXPECT_EQ(get(reg::kAnalogSignalIn), "5");
    EXPECT_EQ(get(reg::kTypeCode2), "AKS0000");
}

TEST_F(ParamsTest, ControllerWithUnusableValueWritesNothing) {
    put(reg::kLutSelect, "1");
    put(reg::kPidKp, "500");
    put(reg::kPidTv, "0");
    put(reg::kPidTn, "1000");
    put(reg::kPidN, "3000");
    ProductionParams page(context);
    page.btnSaveControllerClick({2});
    EXPECT_FALSE(page.state().controllerWrong);
    EXPECT_TRUE(written(0x6204));
    peer->regs[0x6206] = 0xFFC0; // a NaN float
    peer->regs[0x6207] = 0;
    peer->clearLog();
    page.btnSaveControllerClick({2});
    EXPECT_TRUE(page.state().controllerWrong);
    EXPECT_FALSE(written(0x6204));
}

TEST_F(ParamsTest, DynamicMustBeAWholeNumber) {
    ProductionParams page(context);
    page.btnSaveDynClick(1, "12a");
    EXPECT_TRUE(page.state().dynamicWrong);
    EXPECT_TRUE(peer->writes.empty());
    page.btnSaveDynClick(1, "7");
    EXPECT_FALSE(page.state().dynamicWrong);
    EXPECT_EQ(get(reg::kSlotDynamic), "7");
    EXPECT_EQ(get(reg::kSlotSelector), "0");
}

TEST_F(ParamsTest, FilterBlockGoesOutAsOneRawRequest) {
    FilterParams page(context);
    page.tbsFilterT4Show();
    FilterValues v = {"1", "2", "3", "4", "5", "0,25", "7", "8"};
    page.btnSaveFilterClick(v);
    ASSERT_EQ(peer->writes.size(), 1u);
    EXPECT_EQ(peer->writes[0], (std::pair<uint16_t, int>{0x5C08, 9}));
    EXPECT_EQ(page.values()[5], "0.25");
    EXPECT_EQ(page.values()[7], "8");
    v[0] = "70000";
    peer->clearLog();
    page.btnSaveFilterClick(v);
    EXPECT_TRUE(peer->writes.empty());
    EXPECT_EQ(ui.messages.size(), 1u);
}

} // namespace
} // namespace getkelo::test
