#include "calib/list_helpers.h"
#include "calib/measured_steps.h"
#include "calib/run_journal.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

namespace getkelo {
namespace {

TEST(MeasuredSteps, GridRowsUpToTheFirstEmptyNumberAndBadRowsRefused) {
    StepParse p = parseSteps({{"1", "10", "10.2"}, {"2", "5.5", "5.6"}, {"", "9", "9"}});
    ASSERT_EQ(p.steps.size(), 2u);
    EXPECT_EQ(p.steps[1].refNo, 2);
    EXPECT_EQ(p.steps[1].refFlow, 5.5);
    p = parseSteps({{"1", "10", "10.2"}, {"1", "5", ""}});
    EXPECT_TRUE(p.steps.empty());
    EXPECT_EQ(p.badRow, 1);
}

TEST(MeasuredSteps, StoredInLnPerMinuteHighestFirstEvenBelowOneUnit) {
    TCalibPoint point;
    PointConditions c;
    c.setTemp = "23";
    c.ambientPressure = "1013";
    c.calibPressure = "2";
    c.refUnit = "mln/min";
    c.deviceUnit = "ln/min";
    // 0.4 and 0.9 ln/min differ by less than one unit and still sort.
    const auto sorted = fillCalibPoint(point, {{1, 400, 0.41}, {2, 900, 0.92}, {1, 200, 0.2}}, c);
    EXPECT_EQ(sorted[0].refFlow, 900);
    const std::vector<double> ref = ParseFloatList(point.FlowRef);
    const std::vector<double> dev = ParseFloatList(point.devices[0].FlowDevice);
    ASSERT_EQ(ref.size(), 3u);
    EXPECT_NEAR(ref[0], 0.9, 1e-6) << "mln/min in ln/min";
    EXPECT_NEAR(dev[1], 0.41, 1e-6);
    EXPECT_EQ(point.RefUsed, "U2;U1;U1");
    EXPECT_EQ(point.TempIn, "23;23;23");
    EXPECT_EQ(point.devices[0].TempDevice, "-1;-1;-1");
    EXPECT_EQ(point.PressureOut, "2");
    EXPECT_NEAR(fromStoredFlow(toStoredFlow(3.3, "mln/min"), "mln/min"), 3.3, 1e-9);
}

TEST(RunJournal, KeepsTheGridBesideTheDataFileUntilCleared) {
    const auto dir =
        std::filesystem::temp_directory_path() / ("getkelo_journal_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    RunJournal journal((dir / "sub" / "23010003t03.dat").string());
    EXPECT_EQ(journal.path(), (dir / "sub" / "23010003t03.run").string());
    EXPECT_FALSE(journal.load());
    RunJournal::Contents c;
    c.refUnit = "ln/min";
    c.mode = 1;
    c.rows = {{"1", "20", "20.4"}, {"1", "10", ""}, {}, {}};
    ASSERT_TRUE(journal.save(c));
    auto back = journal.load();
    ASSERT_TRUE(back);
    EXPECT_EQ(back->mode, 1);
    ASSERT_EQ(back->rows.size(), 2u) << "empty rows at the end are not kept";
    EXPECT_EQ(back->rows[0].deviceFlow, "20.4");
    EXPECT_EQ(back->rows[1].deviceFlow, "");
    journal.clear();
    EXPECT_FALSE(journal.load());
    std::filesystem::remove_all(dir);
}

} // namespace
} // namespace getkelo
