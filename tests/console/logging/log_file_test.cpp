#include "console/logging/log_file.h"

#include "console_fixture.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace getkelo::test {
namespace {

const LogPoints kAll{true, true, true, true};

TEST(LogFileFormat, NameCarriesSerialAndOpeningTime) {
    EXPECT_EQ(LogFile::fileName("123456", DateTime{2024, 3, 5, 14, 7, 9, 750}),
              "123456_240305_140709.log");
    EXPECT_EQ(LogFile::fileName("12/34", DateTime{2031, 12, 31, 23, 59, 59, 0}),
              "12_34_311231_235959.log");
}

TEST(LogFileFormat, PathsJoinWithOrWithoutTrailingSlash) {
    EXPECT_EQ(LogFile::joinPath("/data/logs", "a.log"), "/data/logs/a.log");
    EXPECT_EQ(LogFile::joinPath("/data/logs/", "a.log"), "/data/logs/a.log");
    EXPECT_EQ(LogFile::joinPath("", "a.log"), "a.log");
}

TEST(LogFileFormat, HeaderHasTheChosenColumnsInFixedOrder) {
    EXPECT_EQ(LogFile::headerLine("mln/min", "mln", kAll),
              "Timestamp;Flow [mln/min];Set [mln/min];Total [mln];Temp [°C];Valve [%]");
    EXPECT_EQ(LogFile::headerLine("ln/min", "ln", LogPoints{}), "Timestamp;Flow [ln/min]");
    EXPECT_EQ(LogFile::headerLine("ln/min", "ln", LogPoints{false, true, false, true}),
              "Timestamp;Flow [ln/min];Total [ln];Valve [%]");
}

TEST(LogFileFormat, DataLineUsesTheProgramsNumberAndDateFormats) {
    LogValues v{"12.34", 12.5f, "1234.5", "21.5", 33.333f};
    EXPECT_EQ(LogFile::dataLine(DateTime{2024, 3, 5, 14, 7, 9, 500}, v, kAll),
              "05.03.24 14:07:09.500;12.34;12.5;1234.5;21.5;33.33");
    v.setpoint = 100;
    EXPECT_EQ(LogFile::dataLine(DateTime{2024, 3, 5, 4, 0, 0, 0}, v, LogPoints{true}),
              "05.03.24 04:00:00.000;12.34;100");
}

class LogFileTest : public ::testing::Test {
  protected:
    TempDir dir;
};

TEST_F(LogFileTest, HeaderAndLinesReachTheDiskInWindows1252WithCrLf) {
    LogFile f;
    ASSERT_TRUE(f.create(dir.path(), "1_x.log", LogFile::headerLine("mln/min", "mln", kAll), 0));
    ASSERT_TRUE(f.appendLine("a;b", 10));
    // Before close: each line was one write, so another reader sees it already.
    EXPECT_EQ(readText(dir.file("1_x.log")),
              "Timestamp;Flow [mln/min];Set [mln/min];Total [mln];Temp [\xB0"
              "C];Valve [%]\r\na;b\r\n");
    EXPECT_TRUE(f.close());
}

TEST_F(LogFileTest, MissingWorkingDirectoryIsCreated) {
    LogFile f;
    const std::string sub = dir.path() + "/new/logs";
    ASSERT_TRUE(f.create(sub, "1_x.log", "H", 0)) << f.error();
    EXPECT_EQ(f.path(), sub + "/1_x.log");
}

TEST_F(LogFileTest, ExistingFileIsNeverOverwritten) {
    writeText(dir.file("7_x.log"), "earlier run\r\n");
    LogFile f;
    ASSERT_TRUE(f.create(dir.path(), "7_x.log", "H", 0));
    EXPECT_EQ(f.path(), dir.file("7_x_2.log"));
    EXPECT_EQ(readText(dir.file("7_x.log")), "earlier run\r\n");
}

TEST_F(LogFileTest, UncreatableFileFailsWithAMessageNamingThePath) {
    writeText(dir.file("plain"), "x");
    LogFile f;
    EXPECT_FALSE(f.create(dir.file("plain") + "/sub", "1_x.log", "H", 0));
    EXPECT_FALSE(f.isOpen());
    EXPECT_NE(f.error().find(dir.file("plain") + "/sub/1_x.log"), std::string::npos) << f.error();
    EXPECT_FALSE(f.appendLine("x", 0));
}

} // namespace
} // namespace getkelo::test
