#include "console/logging/data_logger.h"

#include "console_fixture.h"

#include <algorithm>
#include <filesystem>
#include <sstream>

namespace getkelo::test {
namespace {

using sim::Generation;

std::vector<std::string> linesOf(const std::string& path) {
    std::vector<std::string> lines;
    std::string text = readText(path), line;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find("\r\n", pos);
        if (end == std::string::npos) {
            lines.push_back(text.substr(pos) + "<unterminated>");
            break;
        }
        lines.push_back(text.substr(pos, end - pos));
        pos = end + 2;
    }
    return lines;
}

// "dd.MM.yy hh:mm:ss.zzz" at the start of a data line to milliseconds of the day.
int64_t msOfDay(const std::string& line) {
    int d, mo, y, h, mi, s, ms;
    if (std::sscanf(line.c_str(), "%d.%d.%d %d:%d:%d.%d", &d, &mo, &y, &h, &mi, &s, &ms) != 7)
        return -1;
    return ((h * 60 + mi) * 60 + s) * 1000LL + ms;
}

std::vector<std::string> logFiles(const std::string& dir) {
    std::vector<std::string> out;
    if (!std::filesystem::exists(dir)) return out;
    for (auto& e : std::filesystem::directory_iterator(dir))
        out.push_back(e.path().string());
    std::sort(out.begin(), out.end());
    return out;
}

class DataLoggerTest : public ConsoleTest {
  protected:
    // Devices at addresses 1.., all marked for logging unless `marked` says otherwise.
    void startWith(std::vector<uint32_t> serials, bool all, std::vector<bool> marked = {},
                   const std::string& workDir = "", bool wasLogging = false) {
        logDir = workDir.empty() ? dir.path() + "/logs" : workDir;
        std::string init =
            "[Programm]\nVerzeichnis=" + logDir + "\n[Init]\nMulti=" + (all ? "1" : "0") + "\n";
        for (size_t i = 0; i < serials.size(); ++i) {
            bus.addDevice(simDevice(Generation::Series4, int(i + 1), serials[i]));
            init += "tesra_" + std::to_string(i + 1) + "=" + std::to_string(i + 1) + "\n";
            if (marked.empty() || marked[i]) init += "tesraLog_" + std::to_string(i + 1) + "=1\n";
        }
        if (wasLogging) init += "Log=1\n";
        writeText(ini(), init);
        makeConsole();
        logger = std::make_unique<DataLogger>(console->devices(), clock, ui);
        logger->setWorkDir([this] { return console->settings().workDir; });
        logger->setStateSave([this] { ++stateSaves; });
        console->setLogHook(logger.get());
        console->FormShow();
        ASSERT_EQ(list().count(), static_cast<int>(serials.size()));
        logger->settings().stored.sollCheck = logger->settings().stored.totalCheck =
            logger->settings().stored.tempCheck = logger->settings().stored.ventilCheck = true;
    }
    // One timer period and one tick, as the 100 ms timer runs them.
    void ticks(int n) {
        for (int i = 0; i < n; ++i) {
            clock.advanceMs(100);
            console->TimerTimer();
        }
    }
    void ticksFor(int64_t ms) {
        const int64_t end = clock.nowMs() + ms;
        while (clock.nowMs() < end)
            ticks(1);
    }

    std::string logDir;
    std::unique_ptr<DataLogger> logger;
    int stateSaves = 0;
};

TEST_F(DataLoggerTest, TwoDevicesAtHalfSecondForAMinuteKeepTheGridWithoutGaps) {
    startWith({1001, 1002}, true);
    logger->recordClick();
    EXPECT_EQ(stateSaves, 1);
    ticksFor(60'000);
    logger->stopClick();
    auto files = logFiles(logDir);
    ASSERT_EQ(files.size(), 2u);
    for (const auto& f : files) {
        auto lines = linesOf(f);
        ASSERT_GE(lines.size(), 110u) << f;
        EXPECT_EQ(lines[0], "Timestamp;Flow [ln/min];Set [ln/min];Total [ln];Temp [\xB0"
                            "C];Valve [%]");
        for (size_t i = 2; i < lines.size(); ++i) {
            ASSERT_EQ(msOfDay(lines[i]) - msOfDay(lines[i - 1]), 500) << f << " line " << i;
            EXPECT_EQ(std::count(lines[i].begin(), lines[i].end(), ';'), 5);
        }
    }
    // Both devices' lines of one tick carry the same grid time.
    EXPECT_EQ(linesOf(files[0])[1].substr(0, 21), linesOf(files[1])[1].substr(0, 21));
}

TEST_F(DataLoggerTest, HundredLinesPerFileGivesHundredThenHundredAndOne) {
    startWith({1001}, false);
    logger->settings().stored.logGroup = 1;
    logger->settings().stored.zeilenEdit = "100";
    logger->recordClick();
    ticksFor(155'000); // 310 lines: 100 + 101 + the start of a third file
    logger->stopClick();
    auto files = logFiles(logDir);
    ASSERT_GE(files.size(), 3u);
    EXPECT_EQ(linesOf(files[0]).size(), 101u); // header + 100
    EXPECT_EQ(linesOf(files[1]).size(), 102u); // header + 101
    EXPECT_EQ(stateSaves, 2);                  // record and stop only, not the splits
    // The split keeps the grid: the new file's first line is one period after the old's last.
    EXPECT_EQ(msOfDay(linesOf(files[1])[1]) - msOfDay(linesOf(files[0]).back()), 500);
}

TEST_F(DataLoggerTest, StartTimeInThePastStartsAtTheFirstTickAndSwitchesStartOff) {
    startWith({1001}, false);
    logger->settings().setStartStop(localDateTime(clock.nowMs() - 3'600'000));
    logger->settings().start.enabled = true;
    logger->recordClick();
    ticks(1);
    EXPECT_FALSE(logger->settings().start.enabled);
    EXPECT_EQ(linesOf(logger->filePath(1)).size(), 2u);
}

TEST_F(DataLoggerTest, ReachingTheStopTimeClosesFilesReleasesRecordAndSwitchesStopOff) {
    startWith({1001, 1002}, true);
    int changes = 0;
    logger->setChanged([&] { ++changes; });
    logger->settings().stop.set(localDateTime(clock.nowMs() + 60'000));
    logger->settings().stop.enabled = true;
    const int64_t stopMs = logger->settings().stop.epochMs();
    logger->recordClick();
    ticksFor(125'000);
    EXPECT_FALSE(logger->running());
    EXPECT_FALSE(logger->settings().stored.log);
    EXPECT_FALSE(logger->settings().stop.enabled);
    EXPECT_EQ(logger->filePath(1), "");
    EXPECT_EQ(stateSaves, 2);
    EXPECT_GE(changes, 2);
    for (const auto& f : logFiles(logDir)) {
        auto lines = linesOf(f);
        EXPECT_EQ(lines.back().find("<unterminated>"), std::string::npos);
        EXPECT_LE(msOfDay(lines.back()), stopMs % 86'400'000);
    }
}

TEST_F(DataLoggerTest, SingleScopeWithTheMarkedDeviceNotSelectedNamesItAndLeavesNoFile) {
    startWith({1001, 1002}, false, {false, true});
    logger->setPollAll([this] { return console->pollAll(); });
    ASSERT_EQ(list().selectedRow(), 1);
    logger->recordClick();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].text.find("Gerät 1001 (Adresse 1)"), std::string::npos);
    EXPECT_EQ(ui.messages[0].caption, "GetKelo");
    EXPECT_FALSE(logger->running());
    EXPECT_TRUE(logFiles(logDir).empty());
}

TEST_F(DataLoggerTest, NoMarkedDevicePolledRemovesFilesWithoutALine) {
    startWith({1001, 1002}, true, {false, true});
    logger->setPollAll([this] { return console->pollAll(); });
    logger->recordClick();
    ASSERT_TRUE(logger->running());
    ASSERT_EQ(logFiles(logDir).size(), 1u);
    console->setPollAll(false); // only row 1 is polled now, and it is not marked
    ticks(1);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].text.find("Gerät 1001 (Adresse 1)"), std::string::npos);
    EXPECT_FALSE(logger->running());
    EXPECT_TRUE(logFiles(logDir).empty());
}

TEST_F(DataLoggerTest, LoggingRunningAtTheLastExitStartsAgainAfterTheDevicesAreBack) {
    startWith({1001, 1002}, true, {false, true}, "", true);
    EXPECT_TRUE(logger->running());
    EXPECT_EQ(logger->filePath(1), "");
    EXPECT_NE(logger->filePath(2).find("/1002_"), std::string::npos);
}

TEST_F(DataLoggerTest, FailedStartIsReportedOnceAndLeavesTheLoggerStopped) {
    TempDir other;
    writeText(other.file("plain"), "x");
    startWith({1001, 1002}, true, {}, other.file("plain") + "/logs");
    int changes = 0;
    logger->setChanged([&changes] { ++changes; });
    logger->recordClick();
    ticksFor(2'000);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].text.find(other.file("plain") + "/logs/1001_"), std::string::npos);
    EXPECT_NE(ui.messages[0].text.find(other.file("plain") + "/logs/1002_"), std::string::npos);
    EXPECT_FALSE(logger->running());
    EXPECT_FALSE(logger->settings().stored.log); // the record button is up again
    EXPECT_GE(changes, 1);
}

TEST_F(DataLoggerTest, RecordingCountsItsLinesAcrossSplits) {
    startWith({1001}, true);
    logger->settings().stored.logGroup = 1;
    logger->settings().stored.zeilenEdit = "3";
    logger->recordClick();
    const int64_t started = clock.nowMs();
    ticksFor(5'000);
    EXPECT_EQ(logger->startedMs(), started);
    EXPECT_EQ(logger->linesWritten(), 10); // a line every 0.5 s
    ASSERT_EQ(logger->openFilePaths().size(), 1u);
    EXPECT_GE(logFiles(logDir).size(), 3u);
}

TEST_F(DataLoggerTest, OneDevicesUncreatableFileLeavesTheOthersLogging) {
    startWith({1001, 1002}, true);
    console->devices().setCell(1, kColSerial, std::string(300, '9')); // beyond any file name
    logger->recordClick();
    ticksFor(5'000);
    ASSERT_EQ(ui.messages.size(), 1u);
    auto files = logFiles(logDir);
    ASSERT_EQ(files.size(), 1u);
    EXPECT_GE(linesOf(files[0]).size(), 10u);
}

TEST_F(DataLoggerTest, RemovedRowsFileClosesAndTheRowBelowKeepsItsOwnFile) {
    startWith({1001, 1002}, true);
    logger->recordClick();
    ticksFor(2'000);
    const std::string second = logger->filePath(2);
    bus.setFault(1, sim::Fault::Silent);
    ticksFor(10'000);
    ASSERT_EQ(list().count(), 1);
    EXPECT_EQ(logger->filePath(1), second);
    EXPECT_EQ(logger->filePath(2), "");
    const size_t before = linesOf(second).size();
    ticksFor(2'000);
    EXPECT_GT(linesOf(second).size(), before);
    for (const auto& l : linesOf(second))
        EXPECT_EQ(l.find("<unterminated>"), std::string::npos);
}

} // namespace
} // namespace getkelo::test
