#include "base/date_time.h"
#include "base/ini_file.h"
#include "calib/calibration_run.h"
#include "calib/list_helpers.h"
#include "calib_files_fixture.h"
#include "comm/register_catalogue.h"
#include "sim/calibration_model.h"

namespace getkelo::sim::test {
namespace {

constexpr int kDut = 3, kReference = 6;

struct Run : CalibFiles {
    CalibrationRun run{*link.tesra, link.ui, texts, files};
    CalibrationDevice dut;
    RunSettings settings;

    void SetUp() override {
        CalibFiles::SetUp();
        link.demo.clock.setMs(toEpochMs({2026, 12, 6, 10, 0, 0, 0}));
        link.demo.bus.addDevice(referenceMeter(kReference, kDut));
        link.tesra->Address = kDut;
        link.tesra->DelayMs = 0;
        dut.address = kDut;
        dut.serial = "23010003";
        settings.gas = "N2";
        settings.useController = true;
        settings.controllerAddress = kDut; // the device under test makes the flow itself
        settings.referenceAddress = kReference;
        settings.mode = 1;
        settings.ambientPressure = "1013";
        run.FormShow(dut, DataFileRoot{dir.string() + "/", false});
    }
    void step(const std::string& setpoint) {
        ASSERT_TRUE(run.SollOKBtnClick(setpoint));
        link.demo.clock.advanceMs(20000);
        run.RstGraphClick();
        for (int i = 0; i < 5; ++i) {
            run.TimerTimer();
            link.demo.clock.advanceMs(2000);
        }
        ASSERT_GE(run.MessenBtnClick(1), 0);
    }
};

TEST_F(Run, AdjustmentRunTakesTheZeroMeasuresAndStoresAJustDataSet) {
    EXPECT_EQ(run.dataFile(), path("tesra Typ03/23010003t03.dat"));
    ASSERT_TRUE(run.StartBtnClick(settings));
    EXPECT_EQ(run.runType(), kRunSelfControlled);
    EXPECT_EQ(run.fullScaleText(), "20");
    EXPECT_EQ(run.flowUnit(), "ln/min");
    EXPECT_EQ(link.ui.progressEvents.back(), "finish:0-Punkt abgeglichen!");
    EXPECT_EQ(link.tesra->ReadValue(makeDescriptor(0x0940, 1, kTypeInt16)),
              link.tesra->ReadValue(makeDescriptor(0x4110, 1, kTypeInt16)));
    step("5");
    step("20");
    EXPECT_TRUE(run.unsaved());
    ASSERT_EQ(run.DataSaveBtnClick(), "DATA0");
    EXPECT_FALSE(run.unsaved());
    EXPECT_EQ(run.rows()[0].refNo, "1");
    EXPECT_NEAR(std::stod(run.rows()[0].refFlow), 20, 0.05) << "highest first";
    IniFile f(run.dataFile());
    EXPECT_EQ(f.readString("DATA0", "Mode"), "Just");
    const std::vector<double> ref = ParseFloatList(f.readString("DATA0", "FlowRef"));
    const std::vector<double> dev = ParseFloatList(f.readString("DATA0", "FlowDevice"));
    ASSERT_EQ(ref.size(), 2u);
    EXPECT_NEAR(dev[1] / ref[1], 1.02, 0.003) << "the zero point took the offset error away";
    EXPECT_TRUE(run.FormClose());
    EXPECT_EQ(link.tesra->ReadValue(makeDescriptor(0x0027, 1, kTypeUInt16)), "0");
    EXPECT_EQ(link.tesra->ReadValue(reg::kSetpoint), "0");
}

TEST_F(Run, StepsNotStoredSurviveAClosedWindowAndCloseAsks) {
    settings.mode = 0;
    ASSERT_TRUE(run.StartBtnClick(settings));
    step("10");
    // The window is gone without storing (a crash): the next one offers the step again.
    CalibrationRun again{*link.tesra, link.ui, texts, files};
    link.ui.messageAnswers = {MsgAnswer::Yes};
    again.FormShow(dut, DataFileRoot{dir.string() + "/", false});
    ASSERT_TRUE(again.unsaved());
    EXPECT_EQ(again.rows()[0].deviceFlow, run.rows()[0].deviceFlow);
    link.ui.messageAnswers = {MsgAnswer::Cancel};
    EXPECT_FALSE(again.FormClose()) << "cancel keeps the window";
    link.ui.messageAnswers = {MsgAnswer::No};
    EXPECT_FALSE(again.StartBtnClick(settings)) << "a new run asks before discarding";
    link.ui.messageAnswers = {MsgAnswer::Yes};
    ASSERT_TRUE(again.FormClose());
    EXPECT_EQ(again.rows()[0].refNo, "1") << "stored on the way out";
    EXPECT_TRUE(IniFile(run.dataFile()).sectionExists("DATA0"));
    CalibrationRun third{*link.tesra, link.ui, texts, files};
    const size_t asked = link.ui.messages.size();
    third.FormShow(dut, DataFileRoot{dir.string() + "/", false});
    EXPECT_EQ(link.ui.messages.size(), asked) << "nothing left to offer";
}

TEST_F(Run, IncompleteRowIsRefusedAndNothingStored) {
    settings.mode = 0;
    settings.useController = false;
    ASSERT_TRUE(run.StartBtnClick(settings));
    run.setCell(0, 0, "1");
    run.setCell(0, 1, "10");
    EXPECT_EQ(run.DataSaveBtnClick(), "");
    EXPECT_NE(link.ui.messages.back().text.find("Zeile 1"), std::string::npos);
    EXPECT_FALSE(IniFile(run.dataFile()).sectionExists("DATA0"));
    EXPECT_TRUE(run.unsaved());
}

} // namespace
} // namespace getkelo::sim::test
