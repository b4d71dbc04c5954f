#include "base/date_time.h"
#include "base/ini_file.h"
#include "base/number_format.h"
#include "calib/calib_registers.h"
#include "calib/lut_adjustment.h"
#include "calib/measured_steps.h"
#include "calib/section_names.h"
#include "calib/zero_point.h"
#include "calib_files_fixture.h"
#include "comm/register_catalogue.h"
#include "sim/calibration_model.h"

#include <cmath>

namespace getkelo::sim::test {
namespace {

constexpr uint8_t kDut = 3, kReference = 6;
constexpr double kFullScale = 20; // device 3 of the demo bus, ln/min

struct Adjustment : CalibFiles {
    LutAdjustment adjust{*link.tesra, link.ui, texts, files};
    std::string file = path("23010003t03.dat");

    void SetUp() override {
        CalibFiles::SetUp();
        link.demo.clock.setMs(toEpochMs({2019, 12, 31, 23, 59, 0, 0})); // before the meter
        link.demo.bus.addDevice(referenceMeter(kReference, kDut));
        at(kDut);
        link.tesra->DelayMs = 0;
        ASSERT_EQ(link.tesra->WriteValue(reg::kAccessCode, reg::kAccessCodeText, kWriteAddressed),
                  0);
    }
    void at(uint8_t address) { link.tesra->Address = address; }
    void setpoint(double flow) {
        at(kDut);
        ASSERT_EQ(link.tesra->WriteValue(reg::kSetpoint, formatGeneral(flow), kWriteAddressed), 0);
        link.demo.clock.advanceMs(20000);
    }
    // Mean of readings 2 s apart, as the measuring timer takes them.
    double mean(uint8_t address, int readings = 10) {
        double sum = 0;
        for (int i = 0; i < readings; ++i) {
            at(address);
            double v = 0;
            EXPECT_TRUE(parseNumber(link.tesra->ReadValue(reg::kFlow), v));
            sum += v;
            link.demo.clock.advanceMs(2000);
        }
        at(kDut);
        return sum / readings;
    }
    std::pair<double, double> measure(double flow) { // reference, device
        setpoint(flow);
        const double device = mean(kDut);
        return {mean(kReference), device};
    }
    void zeroPoint() {
        setpoint(0);
        ASSERT_EQ(link.tesra->WriteValue(calreg::kSelectTicks, "1", kWriteAddressed), 0);
        const ZeroPoint z = takeZeroPoint(*link.tesra, link.ui, texts);
        ASSERT_TRUE(z.done);
        EXPECT_NEAR(z.offset, 25, 3) << "the simulated sensor is 25 ticks off";
        ASSERT_EQ(link.tesra->WriteValue(calreg::kSelectTicks, "0", kWriteAddressed), 0);
    }
    std::string storeAdjustmentRun() {
        std::vector<MeasuredStep> steps;
        for (double flow : {20.0, 16.0, 12.0, 8.0, 4.0, 2.0}) {
            auto [ref, dev] = measure(flow);
            steps.push_back({1, ref, dev});
        }
        TCalibPoint point;
        PointConditions c;
        c.ambientPressure = "1013";
        c.calibPressure = "0";
        c.deviceUnit = "ln/min";
        fillCalibPoint(point, steps, c);
        std::vector<std::string> info = {"DATA0", file, "Prüfer", "",   "-1",
                                         "N2",    "-1", "Just",   "23", "1000"};
        EXPECT_TRUE(files.WritePointSection(point, info, 0));
        return info[0];
    }
};

TEST_F(Adjustment, FullAdjustmentBringsTwoPercentUnderAFifthOfAPercent) {
    auto [ref0, dev0] = measure(10);
    EXPECT_NEAR(dev0 / ref0 - 1, 0.02, 0.004) << "the known deviation before";
    zeroPoint();
    const std::string data = storeAdjustmentRun();
    const std::string oldIdent = adjust.activeIdentity();
    const LutAdjustmentResult r = adjust.LookupBtnClick({file, data});
    ASSERT_TRUE(r.written);
    EXPECT_EQ(r.slot, 0);
    EXPECT_EQ(link.ui.messages.back().text, "Justierter Datensatz gespeichert!");
    EXPECT_EQ(adjust.activeIdentity(), std::to_string(r.identity));
    IniFile f(file);
    EXPECT_EQ(f.readString(r.backupSection, "LookupIdent"), oldIdent) << "old table kept";
    EXPECT_EQ(f.readString(r.newSection, "DataSource"), "LookupIdent " + oldIdent);
    EXPECT_LT(sectionIndex(r.backupSection, "LOOKUP"), sectionIndex(r.newSection, "LOOKUP"));
    for (double share : {0.25, 0.5, 0.75, 1.0}) {
        auto [ref, dev] = measure(share * kFullScale);
        EXPECT_LT(std::fabs(dev / ref - 1), 0.002) << share * 100 << " %: " << dev << " " << ref;
    }
}

TEST_F(Adjustment, SavedTableIsNotSavedTwiceAndAFailedWriteRestoresIt) {
    const std::string data = storeAdjustmentRun();
    const std::string saved = files.ReadLutToSection(file, 0, 0);
    ASSERT_EQ(saved, "LOOKUP0");
    LookupTable before{};
    ASSERT_EQ(link.tesra->ReadLookupTable(0, before, link.ui), 0);
    // Block 10 of the new table never arrives; once the write has given up, the way is free.
    auto failed = [&] {
        for (const std::string& e : link.ui.progressEvents)
            if (e == "label:Fehler beim EEPROM schreiben!") return true;
        return false;
    };
    link.wire->lose = [&](const Bytes& b) {
        return b[1] == 0x10 && (b[2] << 8 | b[3]) == 0x0836 + 10 * 6 && !failed();
    };
    const LutAdjustmentResult r = adjust.LookupBtnClick({file, data});
    EXPECT_FALSE(r.written);
    EXPECT_EQ(r.backupSection, saved);
    EXPECT_FALSE(IniFile(file).sectionExists("LOOKUP1"));
    ASSERT_FALSE(link.ui.messages.empty());
    EXPECT_NE(link.ui.messages.back().text.find("wieder die bisherige"), std::string::npos);
    link.wire->lose = nullptr;
    LookupTable after{};
    ASSERT_EQ(link.tesra->ReadLookupTable(0, after, link.ui), 0);
    EXPECT_EQ(after, before);
}

} // namespace
} // namespace getkelo::sim::test
