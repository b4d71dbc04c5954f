#include "console/device_list.h"
#include "console/mixer/mixer_step.h"

#include <gtest/gtest.h>

#include <map>

namespace getkelo {
namespace {

// Devices by address, as the device list would give them.
struct Bus {
    std::map<int, ComponentDevice> devices;
    ComponentDevice& add(int address, const std::string& unit, double range, float setpoint = 0,
                         double flow = 0) {
        ComponentDevice& d = devices[address];
        d.row = address;
        d.functions = kFnController | kFnTotalizer;
        d.unit = unit;
        d.range = range;
        d.setpoint = setpoint;
        d.flow = flow;
        d.flowValid = true;
        return d;
    }
    DeviceLookup lookup() const {
        return [this](int a) -> std::optional<ComponentDevice> {
            auto it = devices.find(a);
            if (it == devices.end()) return std::nullopt;
            return it->second;
        };
    }
};

MixerDefinition fixedMixer(std::vector<int> addresses, std::vector<double> fractions) {
    MixerDefinition d;
    d.addresses = addresses;
    for (double f : fractions)
        d.shares.push_back({"G", false, f});
    return d;
}

MixerDefinition masterSlave(std::vector<int> addresses, std::vector<double> slaveFractions) {
    MixerDefinition d;
    d.addresses = addresses;
    d.shares.push_back({"M", true, 0});
    for (double f : slaveFractions)
        d.shares.push_back({"S", false, f});
    return d;
}

float targetOf(const MixerStepResult& r, int address) {
    for (const auto& w : r.writes)
        if (w.address == address) return w.value;
    ADD_FAILURE() << "no write to " << address;
    return -1;
}

TEST(MixerStep, FixedMixtureSharesTheTotalInEachDevicesUnit) {
    Bus bus;
    bus.add(1, "ln/min", 100, 0, 2);
    bus.add(2, "mln/min", 10000, 0, 500);
    bus.add(3, "mls/min", 10000);
    auto r = mixerStep(fixedMixer({1, 2, 3}, {0.5, 0.25, 0.25}), bus.lookup(), "ln/min", true, 10);
    EXPECT_DOUBLE_EQ(r.actual, 2.5); // the sum of the flows
    ASSERT_EQ(r.writes.size(), 3u);
    EXPECT_FLOAT_EQ(targetOf(r, 1), 5);
    EXPECT_FLOAT_EQ(targetOf(r, 2), 2500);
    // Standard millilitres are smaller than normal ones: more of them for the same gas.
    EXPECT_FLOAT_EQ(targetOf(r, 3), static_cast<float>(2500 * 293.15 / 273.15));
}

TEST(MixerStep, OnlyTheSelectedMixerTakesTheTotalSetpoint) {
    Bus bus;
    bus.add(1, "ln/min", 100);
    bus.add(2, "ln/min", 100, 0, 10);
    EXPECT_TRUE(mixerStep(fixedMixer({1}, {1}), bus.lookup(), "ln/min", false, 10).writes.empty());
    // A master that is not selected gets nothing, but its slaves still follow it.
    auto r = mixerStep(masterSlave({2, 1}, {0.5}), bus.lookup(), "ln/min", false, 30);
    ASSERT_EQ(r.writes.size(), 1u);
    EXPECT_EQ(r.writes[0].address, 1);
    EXPECT_FLOAT_EQ(r.writes[0].value, 5);
}

TEST(MixerStep, MasterFollowsTheTotalAndSlavesTheMasterFlow) {
    Bus bus;
    bus.add(1, "ln/min", 100, 0, 12);  // master, 12 ln/min measured
    bus.add(2, "mln/min", 5000, 0, 0); // slave 0.25
    bus.add(3, "ln/h", 600, 0, 0);     // slave 0.5
    auto r = mixerStep(masterSlave({1, 2, 3}, {0.25, 0.5}), bus.lookup(), "ln/min", true, 40);
    EXPECT_FLOAT_EQ(targetOf(r, 1), 40);
    EXPECT_FLOAT_EQ(targetOf(r, 2), 3000);
    EXPECT_FLOAT_EQ(targetOf(r, 3), 360);
    EXPECT_DOUBLE_EQ(r.actual, 12); // the master's flow
}

TEST(MixerStep, SlaveTargetIsHalfTheMasterFlowWithinItsRange) {
    struct Case {
        double masterFlow;
        bool masterPolled;
        float expected; // -1: no write, the slave keeps its setpoint
    } cases[] = {
        {80, true, 20},   // above the slave's range: driven to the range
        {-0.05, true, 0}, // a noisy master at zero: driven to zero
        {30, false, -1},  // the master's poll failed ("Timeout!" in column 5)
    };
    for (const Case& k : cases) {
        Bus bus;
        bus.add(1, "ln/min", 100, 0, k.masterFlow).flowValid = k.masterPolled;
        bus.add(3, "ln/min", 20, 1.0f);
        auto r = mixerStep(masterSlave({1, 3}, {0.5}), bus.lookup(), "ln/min", false, 0);
        if (k.expected < 0)
            EXPECT_TRUE(r.writes.empty()) << k.masterFlow;
        else
            EXPECT_FLOAT_EQ(targetOf(r, 3), k.expected) << k.masterFlow;
    }
}

TEST(MixerStep, TargetWithinOneMillionthOfTheSetpointIsNotSentAgain) {
    Bus bus;
    bus.add(1, "mln/min", 10000, 2500.0f);
    bus.add(2, "ln/min", 100, 7.5f);
    auto r = mixerStep(fixedMixer({1, 2}, {0.25, 0.75}), bus.lookup(), "ln/min", true, 10);
    EXPECT_TRUE(r.writes.empty());

    // A target the device's float cannot hold exactly is not sent at every tick either.
    bus.devices[2].setpoint = static_cast<float>(0.7 * 10.1);
    r = mixerStep(fixedMixer({2}, {0.7}), bus.lookup(), "ln/min", true, 10.1);
    EXPECT_TRUE(r.writes.empty());

    bus.devices[2].setpoint = 7.0f;
    r = mixerStep(fixedMixer({2}, {0.7}), bus.lookup(), "ln/min", true, 10.1);
    ASSERT_EQ(r.writes.size(), 1u);
}

TEST(MixerStep, MissingComponentIsSkipped) {
    Bus bus;
    bus.add(2, "ln/min", 100);
    auto r = mixerStep(fixedMixer({9, 2}, {0.5, 0.5}), bus.lookup(), "ln/min", true, 10);
    ASSERT_EQ(r.writes.size(), 1u);
    EXPECT_EQ(r.writes[0].address, 2);
}

TEST(MixerTotals, FixedMixtureSumAndSmallestAllowedRange) {
    Bus bus;
    bus.add(1, "ln/min", 100, 6);
    bus.add(2, "mln/min", 5000, 3000);
    bus.add(3, "ln/min", 50, 1);
    MixerTotals t = mixerTotals(fixedMixer({1, 2, 3}, {0.6, 0.4, 0}), bus.lookup(), "ln/min");
    EXPECT_DOUBLE_EQ(t.totalSetpoint, 10);
    // 100 / 0.6 = 166.7; 5 / 0.4 = 12.5; the component without share does not limit.
    EXPECT_DOUBLE_EQ(t.range, 12.5);
    EXPECT_TRUE(t.setpointEnabled);
}

TEST(MixerTotals, MasterSlaveRangeAndMasterThatIsNoController) {
    Bus bus;
    bus.add(1, "ln/min", 100, 30);
    bus.add(3, "ln/min", 20, 15);
    MixerTotals t = mixerTotals(masterSlave({1, 3}, {0.5}), bus.lookup(), "mln/min");
    EXPECT_DOUBLE_EQ(t.totalSetpoint, 30000);
    EXPECT_DOUBLE_EQ(t.range, 40000); // the slave allows 20 / 0.5
    bus.devices[1].functions = kFnTotalizer;
    EXPECT_FALSE(mixerTotals(masterSlave({1, 3}, {0.5}), bus.lookup(), "ln/min").setpointEnabled);
    EXPECT_DOUBLE_EQ(mixerTotals(MixerDefinition{}, bus.lookup(), "ln/min").range, 3.4e38);
}

TEST(MixtureTotal, SumsTheComponentTotalizersInTheChosenUnit) {
    Bus bus;
    auto& a = bus.add(1, "ln/min", 100);
    a.total = 2.5;
    a.totalValid = true;
    a.totalUnit = "m3n";
    auto& b = bus.add(2, "mln/min", 100);
    b.total = 500;
    b.totalValid = true;
    b.totalUnit = "ln";
    bus.add(3, "ln/min", 100); // no totalizer reading
    auto sum = mixtureTotal(fixedMixer({1, 2, 3}, {0.5, 0.5, 0}), bus.lookup(), "ln");
    ASSERT_TRUE(sum.has_value());
    EXPECT_DOUBLE_EQ(*sum, 3000);
    EXPECT_FALSE(mixtureTotal(fixedMixer({3}, {1}), bus.lookup(), "ln").has_value());
}

TEST(DeviceListLookup, ReadsTheColumnsAndRecord) {
    DeviceList list;
    int row = list.appendRow();
    list.setCell(row, kColAddress, "7");
    list.record(row).address = 7;
    list.record(row).functions = kFnController | kFnTotalizer;
    list.record(row).unit = "ln/min";
    list.record(row).setpoint = 3.5f;
    list.setCell(row, kColRange, "20");
    list.setCell(row, kColFlow, "Timeout!");
    list.setCell(row, kColTotal, "12.5");
    auto d = deviceListLookup(list)(7);
    ASSERT_TRUE(d.has_value());
    EXPECT_EQ(d->row, row);
    EXPECT_DOUBLE_EQ(d->range, 20);
    EXPECT_FALSE(d->flowValid);
    EXPECT_TRUE(d->totalValid);
    EXPECT_EQ(d->totalUnit, "ln"); // no column 10: taken from the flow unit
    EXPECT_FALSE(deviceListLookup(list)(8).has_value());
}

} // namespace
} // namespace getkelo
