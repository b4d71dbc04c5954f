#include "comm/register_catalogue.h"
#include "sim_link.h"

#include <gtest/gtest.h>

namespace getkelo::sim::test {
namespace {

constexpr uint8_t kThird = 3;  // "EepromMode" 0: stores on command
constexpr uint8_t kSecond = 4; // stores every write by itself

uint16_t startRegister(const Bytes& frame) {
    return static_cast<uint16_t>(frame[2] << 8 | frame[3]);
}

std::vector<uint16_t> readStarts(const SimLink& l) {
    std::vector<uint16_t> out;
    for (const Bytes& b : l.wire->sent)
        if (b.size() == 8 && b[1] == 0x03) out.push_back(startRegister(b));
    return out;
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
    struct Case {
        int slot;
        uint16_t first;
    };
    for (Case c : {Case{0, 0x0836}, Case{-1, 0x0836}, Case{1, 0x0960}}) {
        SimLink l;
        l.tesra->Address = kThird;
        l.tesra->DelayMs = 100;
        LookupTable values{};
        const int64_t start = l.demo.clock.nowMs();
        ASSERT_EQ(l.tesra->ReadLookupTable(c.slot, values, l.ui), 0) << c.slot;
        std::vector<uint16_t> starts = readStarts(l);
        ASSERT_EQ(starts.size(), 43u) << c.slot;
        for (int k = 0; k < 43; ++k)
            EXPECT_EQ(starts[k], c.first + 6 * k) << c.slot;
        EXPECT_EQ(l.demo.clock.nowMs() - start, 43 * 100) << "DelayMs after every read";
        const int slot = c.slot < 0 ? 0 : c.slot;
        for (int i : {0, 1, 64, 127, 128})
            EXPECT_FLOAT_EQ(values[i], deviceValue(l, kThird, slot, i)) << i;
        EXPECT_EQ(l.ui.progressEvents.front(),
                  "start:EEPROM|Lese EEPROM " + std::to_string(slot) + "...|43");
        EXPECT_EQ(l.ui.progressEvents.back(), "finish:EEPROM lesen erfolgreich!");
    }
}

TEST(ReadLookupTable, FirstFailedBlockEndsTheReadWithItsText) {
    SimLink l;
    l.tesra->Address = kThird;
    l.tesra->DelayMs = 0;
    int reads = 0;
    l.wire->lose = [&](const Bytes& b) { return b[1] == 0x03 && ++reads == 10; };
    LookupTable values{};
    EXPECT_EQ(l.tesra->ReadLookupTable(0, values, l.ui), 1);
    EXPECT_EQ(readStarts(l).size(), 10u) << "no retry";
    EXPECT_EQ(l.ui.progressEvents.back(), "label:Fehler beim EEPROM lesen!");
    EXPECT_FLOAT_EQ(values[26], deviceValue(l, kThird, 0, 26)) << "blocks before are kept";
}

TEST(WriteLookupTable, FailedFifthBlockIsSentAgainToTheSameRegisters) {
    SimLink l;
    l.demo.unlock(kThird);
    l.tesra->Address = kThird;
    int writes = 0;
    l.wire->lose = [&](const Bytes& b) { return b[1] == 0x10 && ++writes == 5; };
    const LookupTable table = rising(0.9f);
    ASSERT_EQ(l.tesra->WriteLookupTable(1, table, l.ui), 0);
    std::vector<Bytes> w = l.writeRequests();
    ASSERT_EQ(w.size(), 43u + 1 + 1) << "43 blocks, one repeated, the store command";
    EXPECT_EQ(w[4], w[5]) << "same registers, same values";
    EXPECT_EQ(startRegister(w[4]), 0x0960 + 4 * 6);
    EXPECT_EQ(w[4].size(), 21u) << "19 bytes and the CRC";
    for (int i : {0, 12, 13, 14, 128})
        EXPECT_FLOAT_EQ(deviceValue(l, kThird, 1, i), table[i]) << i;
    EXPECT_EQ(l.ui.progressEvents.front(), "start:EEPROM|Schreibe EEPROM 1...|43");
    EXPECT_EQ(l.ui.progressEvents.back(), "finish:EEPROM schreiben erfolgreich!");
}

TEST(WriteLookupTable, TenthFailureEndsTheWriteAndLeavesLaterBlocksUntouched) {
    SimLink l;
    l.demo.unlock(kThird);
    l.tesra->Address = kThird;
    int writes = 0;
    // Two blocks go through, then the device stops listening.
    l.wire->lose = [&](const Bytes& b) { return b[1] == 0x10 && ++writes > 2; };
    const float before = deviceValue(l, kThird, 0, 9);
    EXPECT_EQ(l.tesra->WriteLookupTable(0, rising(0.5f), l.ui), 1);
    EXPECT_EQ(l.writeRequests().size(), 2u + 10u) << "nine repetitions, the tenth failure ends it";
    EXPECT_EQ(l.ui.progressEvents.back(), "label:Fehler beim EEPROM schreiben!");
    EXPECT_FLOAT_EQ(deviceValue(l, kThird, 0, 5), rising(0.5f)[5]);
    EXPECT_FLOAT_EQ(deviceValue(l, kThird, 0, 9), before);
}

TEST(WriteLookupTable, StoresTheTableOnlyWhenTheDeviceDoesNotByItself) {
    for (uint8_t address : {kThird, kSecond}) {
        SimLink l;
        l.demo.unlock(address);
        l.tesra->Address = address;
        const LookupTable table = rising(0.75f);
        ASSERT_EQ(l.tesra->WriteLookupTable(0, table, l.ui), 0);
        const Bytes last = l.writeRequests().back();
        const bool commandSent = startRegister(last) == 0x0022;
        EXPECT_EQ(commandSent, address == kThird) << int(address);
        if (commandSent) EXPECT_EQ(last[8], 0x00) << "command 0 stores the tables";
        // After a restart the device still has the new table.
        EXPECT_TRUE(l.device(address).lookupTablesStored());
        l.tesra->WriteValue(reg::kSoftReset, "1", kWriteAddressed);
        l.demo.clock.sleepMs(1500);
        EXPECT_FLOAT_EQ(deviceValue(l, address, 0, 100), table[100]) << int(address);
    }
}

TEST(WriteLookupTable, FailedStoreCommandIsAFailure) {
    SimLink l;
    l.demo.unlock(kThird);
    l.tesra->Address = kThird;
    l.wire->lose = [&](const Bytes& b) { return b[1] == 0x10 && startRegister(b) == 0x0022; };
    EXPECT_EQ(l.tesra->WriteLookupTable(0, rising(1), l.ui), 1);
    EXPECT_FALSE(l.device(kThird).lookupTablesStored());
    EXPECT_EQ(l.ui.progressEvents.back(), "label:Fehler beim EEPROM schreiben!");
}

TEST(LookupTableSlots, SlotsOutsideTheRegisterSpaceAreRefusedWithoutABusExchange) {
    SimLink l;
    LookupTable t{};
    EXPECT_EQ(l.tesra->ReadLookupTable(-2, t, l.ui), 1);
    EXPECT_EQ(l.tesra->WriteLookupTable(kLutMaxSlot + 1, t, l.ui), 1);
    EXPECT_TRUE(l.wire->sent.empty());
    EXPECT_LE(0x095F + kLutMaxSlot * 0x12A, 0xFFFF);
    EXPECT_GT(0x095F + (kLutMaxSlot + 1) * 0x12A, 0xFFFF);
    EXPECT_EQ(findLutParameter("offset_k0")->inSlot(3),
              makeDescriptor(0x0940 + 3 * 0x12A, 1, 0x21));
}

} // namespace
} // namespace getkelo::sim::test
