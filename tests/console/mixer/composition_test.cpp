#include "console/mixer/composition.h"

#include <gtest/gtest.h>

namespace getkelo {
namespace {

std::vector<CompositionRow> rows(std::initializer_list<std::pair<const char*, const char*>> r) {
    std::vector<CompositionRow> out;
    int address = 1;
    for (auto& [label, share] : r)
        out.push_back({label, share, address++});
    return out;
}

TEST(Composition, FixedMixtureFirstComponentTakesTheRemainder) {
    struct {
        ShareUnit unit;
        const char* second;
        const char* third;
        const char* first;
        double firstFraction;
    } cases[] = {
        {ShareUnit::Percent, "20", "30", "50", 0.5},
        {ShareUnit::Percent, "20,5", "30", "49.5", 0.495},
        {ShareUnit::Ppm, "200000", "300000", "500000", 0.5},
        {ShareUnit::Ppm, "250", "0", "999750", 0.99975},
    };
    for (const auto& c : cases) {
        auto r = rows({{"N2", "77"}, {"O2", c.second}, {"CO2", c.third}});
        std::vector<StoredShare> stored = applyComposition(r, MixerType::Fixed, c.unit);
        EXPECT_EQ(r[0].share, c.first) << c.second;
        ASSERT_EQ(stored.size(), 3u);
        EXPECT_NEAR(stored[0].fraction, c.firstFraction, 1e-12);
        EXPECT_NEAR(stored[1].fraction + stored[2].fraction + stored[0].fraction, 1.0, 1e-12);
        EXPECT_EQ(stored[2].gasName, "CO2");
    }
}

TEST(Composition, MasterSlaveFirstComponentBecomesMasterAndBackToRemainder) {
    auto r = rows({{"N2", "50"}, {"O2", "25"}});
    auto stored = applyComposition(r, MixerType::MasterSlave, ShareUnit::Percent);
    EXPECT_EQ(r[0].share, "Master");
    EXPECT_TRUE(stored[0].master);
    EXPECT_DOUBLE_EQ(stored[1].fraction, 0.25);

    stored = applyComposition(r, MixerType::Fixed, ShareUnit::Percent);
    EXPECT_EQ(r[0].share, "75");
    EXPECT_FALSE(stored[0].master);
}

TEST(Composition, StoredFractionsShownInTheShareUnit) {
    MixerDefinition d;
    d.addresses = {4, 9};
    d.shares = {{"N2", true, 0}, {"O2", false, 0.25}, {"Ar", false, 0.0001}};
    auto pct = compositionRows(d, ShareUnit::Percent);
    ASSERT_EQ(pct.size(), 3u);
    EXPECT_EQ(pct[0].share, "Master");
    EXPECT_EQ(pct[1].share, "25");
    EXPECT_EQ(pct[2].share, "0.01");
    EXPECT_EQ(pct[1].address, 9);
    EXPECT_EQ(pct[2].address, 0); // the file names no device for it
    EXPECT_EQ(compositionRows(d, ShareUnit::Ppm)[1].share, "250000");
}

TEST(Composition, RowsFollowTheMarks) {
    auto r = rows({{"N2", "50"}, {"O2", "30"}, {"CO2", "20"}}); // addresses 1, 2, 3
    // Device 2 unmarked, device 7 marked.
    alignWithMarks(r, {{1, "N2"}, {3, "CO2"}, {7, "Ar"}});
    ASSERT_EQ(r.size(), 3u);
    EXPECT_EQ(r[0].label, "N2");
    EXPECT_EQ(r[1].label, "CO2");
    EXPECT_EQ(r[1].share, "20");
    EXPECT_EQ(r[2].label, "Ar");
    EXPECT_EQ(r[2].share, "0");
    EXPECT_EQ(r[2].address, 7);
}

TEST(Composition, TwoDevicesWithTheSameGasAreTwoComponents) {
    std::vector<CompositionRow> r;
    alignWithMarks(r, {{1, "N2"}, {2, "N2"}});
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0].address, 1);
    EXPECT_EQ(r[1].address, 2);
    // Unmarking the second removes its row, not the first one with the same label.
    r[0].share = "60";
    alignWithMarks(r, {{1, "N2"}});
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0].share, "60");
}

TEST(Composition, RowWithoutAddressIsMatchedByGasName) {
    std::vector<CompositionRow> r{{"O2", "30", 0}};
    alignWithMarks(r, {{5, "O2"}});
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0].address, 5);
    EXPECT_EQ(r[0].share, "30");
}

} // namespace
} // namespace getkelo
