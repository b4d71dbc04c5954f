#include "comm/register_catalogue.h"
#include "sim_link.h"

#include <gtest/gtest.h>

namespace getkelo::sim::test {
namespace {

constexpr uint8_t kThird = 3, kSecond = 4; // stores on command / by itself

uint16_t startRegister(const Bytes& frame) {
    return static_cast<uint16_t>(frame[2] << 8 | frame[3]);
}

LookupTable rising(float scale) {
    LookupTable t{};
    for (int i = 0; i < kLutValueCount; ++i)
        t[i] = scale * static_cast<float>(i) / 128.0f;
    return t;
}

float deviceValue(SimLink& l, uint8_t address, int slot, int i) {
    auto d = makeDescriptor(static_cast<uint16_t>(LutSlotBase(slot) + 2 * i), 2, kTypeFloat);
    return std::stof(l.device(address).get(d));
}

TEST(ReadLookupTable, ReadsTheSlotInFortyThreeBlocksPacedByDelayMs) {
    for (auto [slot, first] : {std::pair{0, 0x0836}, {-1, 0x0836}, {1, 0x0960}}) {
        SimLink l;
        l.tesra->Address = kThird;
        LookupTable values{};
        ASSERT_EQ(l.tesra->ReadLookupTable(slot, values, l.ui), 0) << slot;
        ASSERT_EQ(l.wire->sent.size(), 43u) << slot;
        for (int k = 0; k < 43; ++k)
            EXPECT_EQ(startRegister(l.wire->sent[k]), first + 6 * k) << slot;
        EXPECT_EQ(l.demo.clock.nowMs() - 1700000000000, 43 * 100) << "DelayMs after every read";
        EXPECT_FLOAT_EQ(values[100], deviceValue(l, kThird, std::max(slot, 0), 100));
        EXPECT_EQ(l.ui.progressEvents.back(), "finish:EEPROM lesen erfolgreich!");
    }
}

TEST(WriteLookupTable, FailedFifthBlockIsSentAgainToTheSameRegisters) {
    SimLink l;
    l.demo.unlock(kThird);
    l.tesra->Address = kThird;
    int writes = 0;
    l.wire->lose = [&](const Bytes& b) { return b[1] == 0x10 && ++writes == 5; };
    ASSERT_EQ(l.tesra->WriteLookupTable(1, rising(0.9f), l.ui), 0);
    std::vector<Bytes> w = l.writeRequests();
    ASSERT_EQ(w.size(), 43u + 1 + 1) << "43 blocks, one repeated, the store command";
    EXPECT_EQ(w[4], w[5]) << "same registers, same values";
    EXPECT_EQ(startRegister(w[4]), 0x0960 + 4 * 6);
    EXPECT_FLOAT_EQ(deviceValue(l, kThird, 1, 14), rising(0.9f)[14]);
    EXPECT_EQ(l.ui.progressEvents.front(), "start:EEPROM|Schreibe EEPROM 1...|43");
}

TEST(WriteLookupTable, TenthFailureEndsTheWriteAndLeavesLaterBlocksUntouched) {
    SimLink l;
    l.demo.unlock(kThird);
    l.tesra->Address = kThird;
    int writes = 0; // two blocks go through, then the device stops listening
    l.wire->lose = [&](const Bytes& b) { return b[1] == 0x10 && ++writes > 2; };
    const float before = deviceValue(l, kThird, 0, 9);
    EXPECT_EQ(l.tesra->WriteLookupTable(0, rising(0.5f), l.ui), 1);
    EXPECT_EQ(l.writeRequests().size(), 2u + 10u);
    EXPECT_EQ(l.ui.progressEvents.back(), "label:Fehler beim EEPROM schreiben!");
    EXPECT_FLOAT_EQ(deviceValue(l, kThird, 0, 5), rising(0.5f)[5]);
    EXPECT_FLOAT_EQ(deviceValue(l, kThird, 0, 9), before);
}

TEST(WriteLookupTable, StoresTheTableOnlyWhenTheDeviceDoesNotByItself) {
    for (uint8_t address : {kThird, kSecond}) {
        SimLink l;
        l.demo.unlock(address);
        l.tesra->Address = address;
        ASSERT_EQ(l.tesra->WriteLookupTable(0, rising(0.75f), l.ui), 0);
        const Bytes last = l.writeRequests().back();
        EXPECT_EQ(startRegister(last) == 0x0022, address == kThird) << int(address);
        // After a restart the device still has the new table.
        l.tesra->WriteValue(reg::kSoftReset, "1", kWriteAddressed);
        l.demo.clock.sleepMs(1500);
        EXPECT_FLOAT_EQ(deviceValue(l, address, 0, 100), rising(0.75f)[100]) << int(address);
    }
}

} // namespace
} // namespace getkelo::sim::test
