#include "base/date_time.h"
#include "base/ini_file.h"
#include "calib_files_fixture.h"

#include <csignal>
#include <sys/resource.h>

namespace getkelo::sim::test {
namespace {

class PointSection : public CalibFiles {
  protected:
    TCalibPoint point;
    std::vector<std::string> info;

    void SetUp() override {
        CalibFiles::SetUp();
        link.tesra->Address = 3;
        // 7 March 2005, 14:07:09 local time (tests run in UTC).
        link.demo.clock.setMs(toEpochMs({2005, 3, 7, 14, 7, 9, 0}));
        info = {"DATA0", path("123t03.dat"), "", "", "-1", "N2", "-1", "Just", "23", "4"};
        point.FlowRef = "10;5";
        point.devices[2].FlowDevice = "10.1;5.02";
        point.PressureIn = "2;2";
    }
    std::vector<std::string> keys(const std::string& section) {
        std::vector<std::string> out;
        for (const auto& [k, v] : IniFile(info[1]).sectionPairs(section))
            out.push_back(k);
        return out;
    }
};

TEST_F(PointSection, KeysInOrderWithTheBatchOfTheDay) {
    ASSERT_TRUE(files.WritePointSection(point, info, 2));
    IniFile f(info[1]);
    EXPECT_EQ(f.readString("DATA0", "Batch"), "2005-07-03-00");
    EXPECT_EQ(f.readString("DATA0", "Date"), "07.03.05");
    EXPECT_EQ(f.readString("DATA0", "Time"), "14:07:09");
    EXPECT_EQ(f.readString("DATA0", "LutID"), "1597640704") << "identity of the active table";
    EXPECT_EQ(f.readString("DATA0", "FlowDevice"), "10.1;5.02") << "the slot of device 2";
    EXPECT_EQ(keys("DATA0"),
              (std::vector<std::string>{"Date", "Time", "OperatorName", "Batch", "Samples", "Gas",
                                        "GasTotal", "Mode", "LutID", "Gain", "SetTemp",
                                        "PressureIn", "FlowRef", "FlowDevice"}))
        << "an empty remark is left out, an empty operator written";
}

TEST_F(PointSection, TicksHaveNoLutIdAndTheOptionalKeysFollowTheirValues) {
    info[7] = "Ticks";
    info.push_back("75"); // heater power
    point.LeakingFlow = "0.01";
    point.LeakingFlowRate = "0.5";
    point.LeakingTestOK = true;
    info[3] = "after repair";
    ASSERT_TRUE(files.WritePointSection(point, info, 0));
    IniFile f(info[1]);
    EXPECT_FALSE(f.valueExists("DATA0", "LutID"));
    EXPECT_EQ(f.readString("DATA0", "HeatPower"), "75");
    EXPECT_EQ(f.readString("DATA0", "LeakingTestOK"), "true");
    EXPECT_EQ(f.readString("DATA0", "Remark"), "after repair");
    EXPECT_FALSE(f.valueExists("DATA0", "FlowDevice")) << "device 0 has no list";
}

TEST_F(PointSection, AnExistingSectionIsNeverMixedInto) {
    write(info[1], "[DATA0]\r\nGas=Ar\r\n[DATAIO4]\r\nDate=x\r\n");
    ASSERT_TRUE(files.WritePointSection(point, info, 2));
    EXPECT_EQ(info[0], "DATA1");
    EXPECT_EQ(IniFile(info[1]).readString("DATA0", "Gas"), "Ar");
    EXPECT_EQ(keys("DATA0").size(), 1u);
    EXPECT_TRUE(IniFile(info[1]).sectionExists("DATA1"));
}

// The old way round a failed write went through a temporary file on drive C; here the one
// atomic replacement either happens or leaves the file alone.
TEST_F(PointSection, FailedWriteLeavesTheFileAndNamesIt) {
    const std::string before = "[DATA0]\r\nGas=Ar\r\n";
    write(info[1], before);
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit tiny = saved;
    tiny.rlim_cur = 64; // the new file cannot grow beyond this, not even for root
    setrlimit(RLIMIT_FSIZE, &tiny);
    link.ui.messageAnswers = {MsgAnswer::Yes, MsgAnswer::No};
    const bool stored = files.WritePointSection(point, info, 2);
    setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_FALSE(stored);
    EXPECT_EQ(contents(info[1]), before);
    ASSERT_EQ(link.ui.messages.size(), 2u) << "asked again once";
    EXPECT_NE(link.ui.messages[0].text.find(info[1]), std::string::npos);
    EXPECT_EQ(link.ui.messages[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1)
        << "no temporary file left behind";
    // Given room, the same point is stored.
    EXPECT_TRUE(files.WritePointSection(point, info, 2));
    EXPECT_EQ(info[0], "DATA1");
}

TEST_F(PointSection, MissingFoldersAreMadeAndBadArgumentsStoreNothing) {
    info[1] = path("tesra Typ03/0/123t03.dat");
    EXPECT_TRUE(files.WritePointSection(point, info, 2));
    EXPECT_TRUE(IniFile(info[1]).sectionExists("DATA0"));
    EXPECT_FALSE(files.WritePointSection(point, info, 13));
    info[1].clear();
    EXPECT_FALSE(files.WritePointSection(point, info, 0));
}

TEST_F(PointSection, MeanCalibrationPressure) {
    write(path("p.dat"), "[DATA3]\nPressureIn=2;2.2\nPressureOut=1.8;2\nPressureAmb=1000;1000\n"
                         "[DATA4]\nPressureIn=1\n");
    EXPECT_DOUBLE_EQ(MeanCalibPressure(path("p.dat"), "DATA3"), 8.0 / 4 + 1.0);
    // No outlet list reads as one value 0: the sum over 2.
    EXPECT_DOUBLE_EQ(MeanCalibPressure(path("p.dat"), "DATA4"), 0.5);
}

} // namespace
} // namespace getkelo::sim::test
