// The simulator as a server: what a client can make it hold, and how clients share it.
#include "comm/crc16.h"
#include "sim_process.h"

#include <arpa/inet.h>
#include <cerrno>
#include <csignal>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

namespace getkelo::e2e {
namespace {

using Bytes = std::vector<uint8_t>;
using Clock = std::chrono::steady_clock;

// receiveBuffer > 0 fixes the client's receive buffer (a client that does not read fills a
// small one soon).
int connectTo(int port, int receiveBuffer = 0) {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (receiveBuffer > 0)
        ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
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

Bytes identityRead(uint8_t slave) {
    Bytes f{slave, 0x03, 0x00, 0x1E, 0x00, 0x09, 0, 0};
    appendCrc(f.data(), 6);
    return f;
}

// Reads until `count` bytes came or 500 ms passed without any.
Bytes receive(int fd, size_t count) {
    Bytes got;
    uint8_t buf[512];
    while (got.size() < count) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 500) <= 0) break;
        ssize_t n = ::recv(fd, buf, std::min(sizeof buf, count - got.size()), 0);
        if (n <= 0) break;
        got.insert(got.end(), buf, buf + n);
    }
    return got;
}

// Peak resident memory of a process in KiB.
long peakResidentKb(pid_t pid) {
    FILE* f = std::fopen(("/proc/" + std::to_string(pid) + "/status").c_str(), "r");
    if (!f) return -1;
    char line[256];
    long kb = -1;
    while (std::fgets(line, sizeof line, f))
        if (std::strncmp(line, "VmHWM:", 6) == 0) kb = std::atol(line + 6);
    std::fclose(f);
    return kb;
}

// Sends `chunk` over and over, never reading, until the peer ends the connection, `limit`
// bytes went out or 10 s passed; returns the bytes sent and whether the peer ended it.
std::pair<size_t, bool> flood(int fd, const Bytes& chunk, size_t limit) {
    ::signal(SIGPIPE, SIG_IGN); // a dropped connection shows as EPIPE
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    size_t sent = 0;
    auto deadline = Clock::now() + std::chrono::seconds(10);
    while (sent < limit && Clock::now() < deadline) {
        ssize_t n = ::write(fd, chunk.data(), chunk.size());
        if (n > 0) {
            sent += static_cast<size_t>(n);
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            pollfd p{fd, POLLOUT, 0};
            ::poll(&p, 1, 20);
        } else if (n < 0 && errno != EINTR) {
            return {sent, true};
        }
    }
    return {sent, false};
}

TEST(SimServerOverTcp, FloodingClientIsDroppedAndMemoryStaysBounded) {
    std::string link = ::testing::TempDir() + "getkelo_sim_flood_pty_" + std::to_string(::getpid());
    SimProcess sim({"--tcp", "127.0.0.1:0", "--pty", link});
    ASSERT_TRUE(sim.ready());
    const long start = peakResidentKb(sim.pid());
    ASSERT_GT(start, 0);
    struct Row {
        const char* what;
        Bytes chunk;
    } rows[] = {{"noise", Bytes(64 * 1024, 0xFE)}, {"requests it never waits for", {}}};
    for (int i = 0; i < 2048; ++i) {
        Bytes r = identityRead(1);
        rows[1].chunk.insert(rows[1].chunk.end(), r.begin(), r.end());
    }
    for (const auto& r : rows) {
        int fd = connectTo(sim.tcpPort(), 4096);
        ASSERT_GE(fd, 0);
        auto [sent, dropped] = flood(fd, r.chunk, size_t(512) << 20);
        EXPECT_TRUE(dropped) << r.what << ": " << sent << " bytes went in";
        ::close(fd);
    }
    // A terminal cannot be dropped: its noise is read in bounded pieces and forgotten.
    int pty = ::open(link.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(pty, 0);
    termios t{};
    ::tcgetattr(pty, &t);
    ::cfmakeraw(&t);
    ::tcsetattr(pty, TCSANOW, &t);
    EXPECT_GE(flood(pty, Bytes(4096, 0xFE), size_t(1) << 20).first, size_t(1) << 20);
    ::close(pty);
#ifdef __SANITIZE_ADDRESS__
    const long boundKb = 64 * 1024; // the sanitizer holds freed memory back for a while
#else
    const long boundKb = 8 * 1024;
#endif
    EXPECT_LT(peakResidentKb(sim.pid()) - start, boundKb) << "KiB more at the peak";
    // The next client is served as usual.
    int fd = connectTo(sim.tcpPort());
    Bytes req = identityRead(2);
    ASSERT_EQ(::send(fd, req.data(), req.size(), 0), static_cast<ssize_t>(req.size()));
    EXPECT_EQ(receive(fd, 23).size(), 23u);
    ::close(fd);
}

// A second client is served while the first stays connected, with its own answers only:
// no requests pile up to be answered in a burst when the first leaves.
TEST(SimServerOverTcp, ClientsAreServedSideBySide) {
    SimProcess sim({"--tcp", "127.0.0.1:0"});
    ASSERT_TRUE(sim.ready());
    int first = connectTo(sim.tcpPort());
    int second = connectTo(sim.tcpPort());
    ASSERT_GE(first, 0);
    ASSERT_GE(second, 0);
    for (int round = 0; round < 3; ++round) {
        for (int fd : {second, first}) {
            uint8_t slave = fd == first ? 1 : 3;
            Bytes req = identityRead(slave);
            ASSERT_EQ(::send(fd, req.data(), req.size(), 0), 8);
            Bytes answer = receive(fd, 23);
            ASSERT_EQ(answer.size(), 23u) << "round " << round;
            EXPECT_EQ(answer[0], slave);
        }
    }
    ::close(first);
    pollfd p{second, POLLIN, 0};
    EXPECT_EQ(::poll(&p, 1, 100), 0) << "nothing more for the second client";
    ::close(second);
}

} // namespace
} // namespace getkelo::e2e
