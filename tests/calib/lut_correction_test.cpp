#include "base/date_time.h"
#include "calib/lut_correction.h"
#include "calib/zero_point.h"

#include <gtest/gtest.h>

namespace getkelo {
namespace {

LutValues linearTable() {
    LutValues t{};
    for (int i = 0; i < kLutEntries; ++i)
        t[i] = i / 128.0;
    return t;
}

LutValues bentTable() { // rising, as the devices ship it
    LutValues t{};
    for (int i = 0; i < kLutEntries; ++i) {
        const double x = i / 128.0;
        t[i] = x * (0.85 + 0.15 * x);
    }
    return t;
}

TEST(LutCorrection, RatiosOfOneLeaveTheTableApartFromTheRepair) {
    LutCorrectionInput in;
    in.flowRef = in.flowDevice = {20, 15, 10, 5, 2};
    in.tableFlow = 20;
    in.table = bentTable();
    LutCorrection out = correctLookupTable(in);
    EXPECT_EQ(out.table, in.table);
    EXPECT_EQ(out.repairedFrom, -1);
    // A flat tail is only touched by the repair.
    for (int i = 120; i < kLutEntries; ++i)
        in.table[i] = in.table[119];
    out = correctLookupTable(in);
    for (int i = 0; i < 120; ++i)
        EXPECT_EQ(out.table[i], in.table[i]) << i;
    EXPECT_EQ(out.repairedFrom, 120);
    EXPECT_NEAR(out.table[120], in.table[119] + 0.018, 1e-12);
}

TEST(LutCorrection, MonotonyRepairKeepsARisingTableAndStepsAFlatTailUpToOne) {
    LutValues t = bentTable();
    EXPECT_EQ(repairMonotony(t, 0.018), -1);
    EXPECT_EQ(t, bentTable());
    t = linearTable();
    for (int i = 100; i < kLutEntries; ++i)
        t[i] = 0.9;
    t[99] = 0.95; // falling from here on
    EXPECT_EQ(repairMonotony(t, 0.018), 100);
    EXPECT_NEAR(t[100], 0.968, 1e-12);
    EXPECT_NEAR(t[101], 0.986, 1e-12);
    for (int i = 102; i < kLutEntries; ++i)
        EXPECT_EQ(t[i], 1.0) << "steps end at 1";
}

TEST(LutCorrection, DipInsideTheTableIsBridgedNotTheRestRewritten) {
    LutValues t = linearTable();
    t[40] = 0.1; // one bad entry
    EXPECT_EQ(repairMonotony(t, 0.018), 40);
    EXPECT_NEAR(t[40], 40 / 128.0, 1e-12);
    for (int i = 41; i < kLutEntries; ++i)
        EXPECT_EQ(t[i], i / 128.0) << i;
}

TEST(LutCorrection, FullWindowCoversEveryEntryANarrowOneOnlyItsOwn) {
    LutCorrectionInput in;
    in.flowDevice = {1.0, 0.5, 0.004};
    for (double d : in.flowDevice)
        in.flowRef.push_back(d * 0.98);
    in.tableFlow = 1;
    in.table = linearTable();
    in.table[0] = 0.001; // so that entry 0 shows the change too
    LutCorrection out = correctLookupTable(in);
    for (int i = 0; i < kLutEntries; ++i)
        EXPECT_NEAR(out.table[i], in.table[i] * 0.98, 1e-12) << i;
    in.start = 0.3;
    in.stop = 0.7;
    out = correctLookupTable(in);
    for (int i = 0; i < kLutEntries; ++i) {
        const bool inside = in.table[i] >= 0.3 && in.table[i] <= 0.7;
        EXPECT_NEAR(out.table[i], in.table[i] * (inside ? 0.98 : 1.0), 1e-12) << i;
    }
}

TEST(LutCorrection, FactorMovesLinearlyBetweenTwoPointsAndLowEntriesStay) {
    LutCorrectionInput in;
    in.flowDevice = {1.0, 0.5};
    in.flowRef = {0.98, 0.51}; // -2 % at the top, +2 % at half
    in.tableFlow = 1;
    in.table = linearTable();
    LutCorrection out = correctLookupTable(in);
    EXPECT_NEAR(out.table[128], 0.98, 1e-12);
    EXPECT_NEAR(out.table[63], in.table[63] * 1.02, 1e-12) << "the lower point's ratio";
    EXPECT_NEAR(out.table[96], in.table[96] * (0.98 + 0.04 * 32 / 65), 1e-12);
    for (int i = 0; i < 63; ++i)
        EXPECT_EQ(out.table[i], in.table[i]) << "below the last point " << i;
    ASSERT_EQ(out.errors.size(), 2u);
    EXPECT_NEAR(out.errors[1].second, 2, 1e-9);
}

TEST(LutCorrection, DataSetWithoutListsChangesNothing) {
    LutCorrectionInput in;
    in.tableFlow = 20;
    in.table = bentTable();
    EXPECT_EQ(correctLookupTable(in).table, in.table);
    in.flowRef = {0, 5};
    in.flowDevice = {10, 0};
    EXPECT_EQ(correctLookupTable(in).ratios, (std::vector<double>{1, 1}));
}

TEST(LutIdentity, PacksDateAndTimeIntoBitFields) {
    EXPECT_EQ(lutIdentity(DateTime{2019, 12, 31, 23, 59, 59}),
              19u * (1u << 26) + 12u * (1u << 22) + 31u * (1u << 17) + 23u * (1u << 12) +
                  59u * (1u << 6) + 59u);
    EXPECT_EQ(lutIdentity(DateTime{2000, 1, 1, 0, 0, 0}), (1u << 22) + (1u << 17));
}

TEST(ZeroPoint, OffsetIsTheIntegerMeanLessTheRawZero) {
    long long r[kZeroReadings];
    std::fill(std::begin(r), std::end(r), 32768);
    EXPECT_EQ(zeroOffset(r, kZeroReadings), 0);
    r[0] = 32768 + 39; // mean 32769.95 truncates
    EXPECT_EQ(zeroOffset(r, kZeroReadings), 1);
    std::fill(std::begin(r), std::end(r), 32700);
    EXPECT_EQ(zeroOffset(r, kZeroReadings), -68);
}

} // namespace
} // namespace getkelo
