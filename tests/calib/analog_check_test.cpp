#include "analog_bench_ui.h"
#include "base/date_time.h"
#include "base/ini_file.h"
#include "calib/analog_check.h"
#include "calib/list_helpers.h"
#include "calib_files_fixture.h"
#include "comm/register_catalogue.h"

#include <cmath>

namespace getkelo::sim::test {
namespace {

constexpr int kDut = 3;

struct Analog : CalibFiles {
    BenchUi bench;
    AnalogCheck check{*link.tesra, bench, texts, files};
    AnalogRange current;

    void SetUp() override {
        CalibFiles::SetUp();
        link.demo.clock.setMs(toEpochMs({2026, 12, 7, 9, 30, 0, 0}));
        bench.link = &link;
        link.tesra->Address = kDut;
        link.tesra->DelayMs = 0;
        check.setDataFile(path("23010003t03.dat"));
        check.setOperator("Meier", "Analog");
    }
    double worstError(AnalogSide side) const {
        double worst = 0;
        for (const AnalogRow& r : check.grid(side).rows)
            worst = std::max(worst, std::fabs(r.errorPct));
        return worst;
    }
    std::string mode() { return link.tesra->ReadValue(reg::kControlMode); }
};

TEST_F(Analog, CalibrationBringsEveryPointOfOutputAndInputUnderTheTolerance) {
    const std::string before = mode();
    const AnalogRange liveZero{AnalogSignal::Current20mA, true};
    ASSERT_TRUE(check.PruefAusBtnClick(liveZero));
    EXPECT_EQ(mode(), before) << "the output test is left";
    ASSERT_TRUE(check.PruefEinBtnClick(liveZero));
    for (AnalogSide side : {AnalogSide::Output, AnalogSide::Input})
        EXPECT_GT(worstError(side), 1.0) << "the simulated errors show";
    ASSERT_TRUE(check.KalibAusBtnClick());
    ASSERT_TRUE(check.KalibEinBtnClick());
    // Calibrated on 4..20 mA, the whole of 0..20 mA is right.
    ASSERT_TRUE(check.PruefAusBtnClick(current));
    ASSERT_TRUE(check.PruefEinBtnClick(current));
    for (AnalogSide side : {AnalogSide::Output, AnalogSide::Input}) {
        EXPECT_LT(worstError(side), 0.01);
        for (const AnalogRow& r : check.grid(side).rows)
            EXPECT_TRUE(r.pass());
    }
    EXPECT_EQ(bench.inputs[0].caption, "Kalibration");
    EXPECT_EQ(bench.inputs[0].prompt, "Ausgang Prüfling: 4 mA\r\nMesswert Referenz [mA]");
    EXPECT_EQ(bench.inputs.back().prompt, "Bitte Sollwert-Signal anlegen [20 mA]");
}

TEST_F(Analog, AdjustingMovesOnlyTheZeroAndOnlyCoefficientsTheCheckWasMadeWith) {
    ASSERT_TRUE(check.PruefAusBtnClick(current));
    const AnalogCoefficients old = check.coefficients(AnalogSide::Output);
    const double zeroBefore = check.grid(AnalogSide::Output).rows[0].errorPct;
    ASSERT_TRUE(check.JustAusBtnClick());
    EXPECT_EQ(check.coefficients(AnalogSide::Output).k1, old.k1);
    EXPECT_NE(check.coefficients(AnalogSide::Output).k0, old.k0);
    EXPECT_FALSE(check.JustAusBtnClick()) << "the grid belongs to the old coefficients";
    ASSERT_TRUE(check.PruefAusBtnClick(current));
    ASSERT_TRUE(check.AnalogSheetShow(current, current));
    ASSERT_TRUE(check.grid(AnalogSide::Output).complete()) << "showing the page keeps it";
    const auto& rows = check.grid(AnalogSide::Output).rows;
    EXPECT_GT(std::fabs(zeroBefore), 0.3);
    EXPECT_LT(std::fabs(rows[0].errorPct), 0.01);
    EXPECT_GT(rows[5].errorPct, 1.0) << "the gain error stays";
    const RegisterDescriptor k0 = makeDescriptor(0x4130, 1, kTypeInt16);
    link.demo.unlock(kDut);
    ASSERT_EQ(link.demo.write(kDut, k0, "-100"), "ok"); // changed behind the check's back
    EXPECT_FALSE(check.KalibAusBtnClick());
    EXPECT_EQ(link.tesra->ReadValue(k0), "-100");
}

TEST_F(Analog, ASignalTheTypeCodeDoesNotHaveIsRefused) {
    for (AnalogSignal s : {AnalogSignal::Voltage5V, AnalogSignal::Voltage10V}) {
        bench.messages.clear();
        EXPECT_FALSE(check.PruefAusBtnClick({s, false}));
        EXPECT_FALSE(check.PruefEinBtnClick({s, false}));
        ASSERT_EQ(bench.messages.size(), 2u);
        EXPECT_EQ(bench.messages[0].text, "Ungültiger Typ-Code!");
        EXPECT_EQ(bench.messages[0].caption, "Kalibration");
    }
    EXPECT_TRUE(bench.inputs.empty());
    EXPECT_TRUE(check.AnalogSheetShow(current, current));
    EXPECT_EQ(check.coefficients(AnalogSide::Output).k0, -35);
    EXPECT_EQ(check.coefficients(AnalogSide::Input).k0, 41);
}

TEST_F(Analog, AZeroErrorBeyondTheCoefficientsRangeAsksForAnotherDevice) {
    // Output 1 mA up (5 % of the scale) and input 0.1 mA down: neither zero can take that.
    DeviceConfig c = link.device(kDut).config();
    c.address = 7;
    c.outZeroError = 1.0;
    c.inZeroError = -0.1;
    link.demo.bus.addDevice(c);
    link.tesra->Address = 7;
    bench.address = 7;
    ASSERT_TRUE(check.PruefAusBtnClick(current));
    ASSERT_TRUE(check.PruefEinBtnClick(current));
    const std::string k0Out = link.tesra->ReadValue(makeDescriptor(0x4130, 1, kTypeInt16));
    const std::string k0In = link.tesra->ReadValue(makeDescriptor(0x4133, 1, kTypeUInt16));
    bench.messages.clear();
    EXPECT_FALSE(check.KalibAusBtnClick());
    EXPECT_FALSE(check.JustEinBtnClick());
    ASSERT_EQ(bench.messages.size(), 2u);
    for (const auto& m : bench.messages) {
        EXPECT_EQ(m.text, "0-Punkt hat zu grosse Abweichung -> Gerät ersetzen");
        EXPECT_EQ(m.caption, "Fehler");
    }
    EXPECT_EQ(link.tesra->ReadValue(makeDescriptor(0x4130, 1, kTypeInt16)), k0Out);
    EXPECT_EQ(link.tesra->ReadValue(makeDescriptor(0x4133, 1, kTypeUInt16)), k0In);
}

TEST_F(Analog, EachCheckIsOneDataIoSectionWithItsLists) {
    IniFile seed(path("23010003t03.dat"));
    seed.writeString("DATA4", "Mode", "Flow"); // DATA sections do not count for DATAIO
    ASSERT_TRUE(check.PruefAusBtnClick(current));
    EXPECT_EQ(check.lastSection(), "DATAIO0");
    ASSERT_TRUE(check.PruefEinBtnClick(current));
    EXPECT_EQ(check.lastSection(), "DATAIO1");
    IniFile f(path("23010003t03.dat"));
    EXPECT_EQ(f.readString("DATAIO0", "Date"), "07.12.26");
    EXPECT_EQ(f.readString("DATAIO0", "OperatorName"), "Meier");
    EXPECT_EQ(f.readString("DATAIO0", "Remark"), "Analog");
    EXPECT_EQ(f.readString("DATAIO0", "DeviceIN"), "0;2;5;10;15;20");
    const std::vector<double> ref = ParseFloatList(f.readString("DATAIO0", "RefIN"));
    ASSERT_EQ(ref.size(), 6u);
    EXPECT_NEAR(ref[5], 20.4, 0.05);
    EXPECT_EQ(f.readString("DATAIO1", "RefOUT"), "0;2;5;10;15;20");
    EXPECT_EQ(ParseFloatList(f.readString("DATAIO1", "DeviceOUT")).size(), 6u);
}

TEST_F(Analog, ACancelledCheckLeavesTheOutputTestAndStoresNothing) {
    const std::string before = mode();
    bench.cancelAt = 2;
    EXPECT_FALSE(check.PruefAusBtnClick(current));
    EXPECT_EQ(mode(), before);
    EXPECT_EQ(check.grid(AnalogSide::Output).rows.size(), 2u);
    EXPECT_FALSE(check.KalibAusBtnClick()) << "an incomplete check corrects nothing";
    EXPECT_FALSE(IniFile(path("23010003t03.dat")).sectionExists("DATAIO0"));
}

} // namespace
} // namespace getkelo::sim::test
