#include "sim/rtu_framer.h"
#include "sim_support.h"

#include <gtest/gtest.h>

namespace getkelo::sim::test {
namespace {

std::vector<Bytes> feed(RtuFramer& f, const Bytes& bytes) {
    f.push(bytes.data(), static_cast<int>(bytes.size()));
    std::vector<Bytes> out;
    Bytes frame;
    while (f.next(frame))
        out.push_back(frame);
    return out;
}

Bytes cat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (auto& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

TEST(RtuFramer, FindsTheRequestAmidGarbage) {
    const Bytes read = readRequest(1, 0x001E, 9);
    const Bytes write16 = writeValue(2, makeDescriptor(0x0006, 2, kTypeFloat), "50");
    const Bytes write06 = writeSingle(3, 0x0013, 7);
    Bytes badCrc = read;
    badCrc.back() ^= 1;
    Bytes badWrite = write16;
    badWrite.back() ^= 1;
    const Bytes read04 = withCrc({1, 0x04, 0x00, 0x00, 0x00, 0x02});
    const Bytes badCount = withCrc({1, 0x10, 0x00, 0x06, 0x00, 0x02, 0x03, 1, 2, 3});
    // The filter page's save: nine registers, 18 data bytes, filler to 30 bytes, then CRC.
    Bytes filter{1, 0x10, 0x5C, 0x08, 0x00, 0x09, 0x12};
    filter.resize(30, 0);
    filter = withCrc(filter);
    struct Row {
        const char* what;
        Bytes stream;
        std::vector<Bytes> expected;
    } rows[] = {
        {"plain read", read, {read}},
        {"function 16 by byte count", write16, {write16}},
        {"function 06", write06, {write06}},
        {"garbage before", cat({{0xFF, 0x00, 0x42, 0x99}, read}), {read}},
        {"garbage after", cat({read, {0x01, 0x03}}), {read}},
        {"bad CRC then good", cat({badCrc, write16}), {write16}},
        {"two back to back", cat({read, write06}), {read, write06}},
        {"half request then a whole one",
         cat({Bytes(read.begin(), read.begin() + 4), write16}),
         {write16}},
        {"broken function 16 header then a read",
         cat({{0x01, 0x10, 0x00, 0x06, 0x00, 0x05, 0x0A}, read}),
         {read}},
        {"bad CRC alone", badCrc, {}},
        {"filler before the CRC", filter, {filter}},
        {"filler write then a read", cat({filter, read}), {filter, read}},
        {"bad write then a read", cat({badWrite, read}), {read}},
        {"an unsupported function, to be refused", cat({read04, read}), {read04, read}},
        {"function 16 with a wrong byte count, to be refused",
         cat({badCount, read}),
         {badCount, read}},
    };
    for (auto& row : rows) {
        RtuFramer f;
        EXPECT_EQ(feed(f, row.stream), row.expected) << row.what;
    }
}

TEST(RtuFramer, SplitFrameWaitsForItsLastByteNotForSilence) {
    const Bytes w = writeValue(1, makeDescriptor(0x5000, 25, kTypeText50), "Messstelle");
    RtuFramer f;
    for (size_t i = 0; i + 1 < w.size(); ++i) {
        EXPECT_TRUE(feed(f, Bytes{w[i]}).empty()) << "byte " << i;
    }
    EXPECT_EQ(feed(f, Bytes{w.back()}), std::vector<Bytes>{w});
    EXPECT_EQ(f.pending(), 0);
}

TEST(RtuFramer, EndlessGarbageDoesNotGrowTheBuffer) {
    RtuFramer f;
    Bytes junk(5000, 0xFE);
    EXPECT_TRUE(feed(f, junk).empty());
    EXPECT_LE(f.pending(), 1024);
    const Bytes read = readRequest(4, 0, 6);
    EXPECT_EQ(feed(f, read), std::vector<Bytes>{read});
}

} // namespace
} // namespace getkelo::sim::test
