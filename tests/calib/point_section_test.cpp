#include "base/date_time.h"
#include "base/ini_file.h"
#include "calib_files_fixture.h"

#include <csignal>
#include <sys/resource.h>

namespace getkelo::sim::test {
namespace {

struct PointSection : CalibFiles {
    TCalibPoint point;
    std::vector<std::string> info;
    void SetUp() override {
        CalibFiles::SetUp();
        link.tesra->Address = 3;
        link.demo.clock.setMs(toEpochMs({2005, 3, 7, 14, 7, 9, 0})); // tests run in UTC
        info = {"DATA0", path("f/123t03.dat"), "", "", "-1", "N2", "-1", "Just", "23", "4"};
        point.FlowRef = "10;5";
        point.devices[2].FlowDevice = "10.1;5.02";
    }
    std::string keys(const std::string& section) {
        std::string out;
        for (const auto& [k, v] : IniFile(info[1]).sectionPairs(section))
            out += k + " ";
        return out;
    }
};

TEST_F(PointSection, KeysInOrderWithTheBatchOfTheDay) {
    ASSERT_TRUE(files.WritePointSection(point, info, 2)) << "the folder is made";
    IniFile f(info[1]);
    EXPECT_EQ(f.readString("DATA0", "Batch"), "2005-07-03-00");
    EXPECT_EQ(f.readString("DATA0", "Date") + " " + f.readString("DATA0", "Time"),
              "07.03.05 14:07:09");
    EXPECT_EQ(f.readString("DATA0", "LutID"), "1597640704");
    EXPECT_EQ(keys("DATA0"), "Date Time OperatorName Batch Samples Gas GasTotal Mode LutID Gain "
                             "SetTemp FlowRef FlowDevice ")
        << "an empty remark is left out, an empty operator written";
    // A "Ticks" data set has no "LutID"; an existing section is never mixed into.
    info[7] = "Ticks";
    ASSERT_TRUE(files.WritePointSection(point, info, 2));
    EXPECT_EQ(info[0], "DATA1");
    EXPECT_FALSE(f.valueExists("DATA1", "LutID"));
}

// The old way round a failed write went through a temporary file on drive C; here the one
// atomic replacement either happens or leaves the file alone.
TEST_F(PointSection, FailedWriteLeavesTheFileAndNamesIt) {
    std::filesystem::create_directories(dir / "f");
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
    ASSERT_EQ(link.ui.messages.size(), 2u) << "asked to try again, once more";
    EXPECT_NE(link.ui.messages[0].text.find(info[1]), std::string::npos);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir / "f"), {}), 1);
    EXPECT_TRUE(files.WritePointSection(point, info, 2)) << "given room, the point is stored";
}

TEST_F(PointSection, MeanCalibrationPressure) {
    write(path("p.dat"), "[DATA3]\nPressureIn=2;2.2\nPressureOut=1.8;2\nPressureAmb=1000;1000\n");
    EXPECT_DOUBLE_EQ(MeanCalibPressure(path("p.dat"), "DATA3"), 8.0 / 4 + 1.0);
}

} // namespace
} // namespace getkelo::sim::test
