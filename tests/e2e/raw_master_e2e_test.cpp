// A Modbus master written from the protocol alone (bitwise CRC, raw bytes), to check that
// the simulator speaks standard RTU and agrees with the device layer.
#include "base/clock.h"
#include "comm/tcomm.h"
#include "comm/ttesra.h"
#include "sim_process.h"

#include <arpa/inet.h>
#include <cstring>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace getkelo::e2e {
namespace {

using Bytes = std::vector<uint8_t>;

uint16_t bitwiseCrc(const uint8_t* d, size_t n) {
    uint16_t crc = 0xFFFF;
    for (size_t i = 0; i < n; ++i) {
        crc ^= d[i];
        for (int b = 0; b < 8; ++b)
            crc = (crc & 1) ? (crc >> 1) ^ 0xA001 : crc >> 1;
    }
    return crc;
}

Bytes frame(Bytes pdu) {
    uint16_t c = bitwiseCrc(pdu.data(), pdu.size());
    pdu.push_back(static_cast<uint8_t>(c & 0xFF)); // low byte first on the wire
    pdu.push_back(static_cast<uint8_t>(c >> 8));
    return pdu;
}

// Sends a request and collects bytes until `expected` arrived or 500 ms of quiet.
Bytes exchange(int fd, const Bytes& request, size_t expected) {
    EXPECT_EQ(::write(fd, request.data(), request.size()), static_cast<ssize_t>(request.size()));
    Bytes answer;
    uint8_t buf[300];
    while (answer.size() < expected) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 500) <= 0) break;
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n <= 0) break;
        answer.insert(answer.end(), buf, buf + n);
    }
    return answer;
}

Bytes readHolding(int fd, uint8_t slave, uint16_t start, uint8_t count) {
    return exchange(fd, frame({slave, 0x03, uint8_t(start >> 8), uint8_t(start), 0, count}),
                    5u + 2 * count);
}

bool crcOk(const Bytes& a) {
    if (a.size() < 4) return false;
    uint16_t c = bitwiseCrc(a.data(), a.size() - 2);
    return a[a.size() - 2] == (c & 0xFF) && a[a.size() - 1] == (c >> 8);
}

int connectTcp(int port) {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

TEST(RawMaster, AgreesWithTheDeviceLayerOverTcp) {
    SimProcess sim({"--tcp", "127.0.0.1:0"});
    ASSERT_TRUE(sim.ready());
    TComm comm(systemClock());
    comm.RetryLimit = 15;
    TConnectionSettings s;
    std::strcpy(s.Address, "127.0.0.1");
    s.Port = static_cast<uint16_t>(sim.tcpPort());
    Bytes raw[6];
    {
        int fd = connectTcp(sim.tcpPort());
        ASSERT_GE(fd, 0);
        for (uint8_t a = 1; a <= 5; ++a) {
            raw[a] = readHolding(fd, a, 0x001E, 9);
            ASSERT_EQ(raw[a].size(), 23u) << int(a);
            EXPECT_TRUE(crcOk(raw[a])) << int(a);
            EXPECT_EQ(raw[a][0], a);
            EXPECT_EQ(raw[a][1], 0x03);
            EXPECT_EQ(raw[a][2], 18);
        }
        // Serial numbers are big-endian 32-bit values, the version a word (0x043F: "4.3.15").
        const uint32_t serials[] = {0, 24010001, 24010002, 23010003, 22010004, 21010005};
        const uint16_t versions[] = {0, 0x043F, 0x043F, 0x0352, 0x0231, 0x0123};
        for (uint8_t a = 1; a <= 5; ++a) {
            uint32_t serial =
                uint32_t(raw[a][3]) << 24 | raw[a][4] << 16 | raw[a][5] << 8 | raw[a][6];
            EXPECT_EQ(serial, serials[a]) << int(a);
            EXPECT_EQ(raw[a][9] << 8 | raw[a][10], versions[a]) << int(a);
        }

        Bytes ex = exchange(fd, frame({0x01, 0x03, 0x70, 0x00, 0x00, 0x01}), 5);
        EXPECT_EQ(ex, frame({0x01, 0x83, 0x02}));
        Bytes echo = exchange(fd, frame({0x01, 0x06, 0x00, 0x0E, 0x00, 0x01}), 8);
        EXPECT_EQ(echo, frame({0x01, 0x06, 0x00, 0x0E, 0x00, 0x01}));
        Bytes w16 = exchange(
            fd, frame({0x01, 0x10, 0x00, 0x06, 0x00, 0x02, 0x04, 0x41, 0x48, 0x00, 0x00}), 8);
        EXPECT_EQ(w16, frame({0x01, 0x10, 0x00, 0x06, 0x00, 0x02}));
        ::close(fd);
    }
    // The device layer, as the next client, reads the same bytes.
    TTesra t(comm, s);
    t.DelayMs = 0;
    for (uint8_t a = 1; a <= 5; ++a) {
        uint8_t buf[kFrameBufferSize];
        t.Address = a;
        ASSERT_EQ(t.ReadRegisters(buf, 0x001E, 9), kResultOk);
        EXPECT_EQ(Bytes(buf, buf + 23), raw[a]) << int(a);
    }
    uint8_t buf[kFrameBufferSize];
    t.Address = 6;
    EXPECT_EQ(t.ReadRegisters(buf, 0x001E, 9), kResultNoAnswer) << "nobody at address 6";
    t.Address = 1;
    EXPECT_EQ(t.ReadValue(makeDescriptor(0x0006, 2, kTypeFloat)), "12.5");
    EXPECT_EQ(t.ReadValue(makeDescriptor(0x000E, 1, kTypeUInt16)), "1");
}

} // namespace
} // namespace getkelo::e2e
