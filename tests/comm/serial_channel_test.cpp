#include "comm/register_catalogue.h"
#include "comm/tcomm.h"
#include "comm/ttesra.h"
#include "loopback_clock.h"
#include "scripted_peer.h"
#include "ui/scripted_ui.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace getkelo {
namespace {

using test::Bytes;
using test::LoopbackClock;
using test::readAnswer;

// The far end of a pseudo-terminal pair plays the device; the near end is the "COM port".
class PtyDevice {
  public:
    PtyDevice() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ >= 0 && (::grantpt(master_) != 0 || ::unlockpt(master_) != 0)) close();
        if (master_ >= 0) path_ = ::ptsname(master_);
    }
    ~PtyDevice() {
        stop();
        close();
    }
    bool ok() const { return master_ >= 0; }
    const std::string& path() const { return path_; }

    // Answers every request of 8 bytes with `answer` (the fence read after trouble as a
    // device would) until stopped.
    void serve(Bytes answer) {
        thread_ = std::thread([this, answer] {
            uint8_t req[64];
            size_t got = 0;
            while (!stop_) {
                pollfd p{master_, POLLIN, 0};
                if (::poll(&p, 1, 5) <= 0) continue;
                ssize_t n = ::read(master_, req + got, sizeof req - got);
                if (n <= 0) return;
                got += static_cast<size_t>(n);
                for (; got >= 8; got -= 8) {
                    requests.push_back(Bytes(req, req + 8));
                    std::memmove(req, req + 8, got - 8);
                    Bytes a = test::isFence(requests.back()) ? test::fenceAnswer(requests.back())
                                                             : answer;
                    (void)!::write(master_, a.data(), a.size());
                }
            }
        });
    }
    void stop() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
        stop_ = false;
    }
    void close() {
        if (master_ >= 0) ::close(master_);
        master_ = -1;
    }
    std::vector<Bytes> requests;

  private:
    int master_ = -1;
    std::string path_;
    std::thread thread_;
    std::atomic<bool> stop_{false};
};

TEST(SerialChannel, EmptyReadOfIdlePortIsNotTakenForHangUp) {
    namespace fs = std::filesystem;
    fs::path link = fs::temp_directory_path() / ("getkelo-idle-" + std::to_string(::getpid()));
    fs::remove(link);
    PtyDevice dev;
    ASSERT_TRUE(dev.ok());
    fs::create_symlink(dev.path(), link);
    LoopbackClock clock;
    TComm comm(clock);
    comm.RetryLimit = 5;
    comm.SetComPortPath(1, link.string());
    TTesra tesra(comm, TConnectionSettings{});
    ASSERT_GT(tesra.Handle, 0) << comm.LastOpenError;
    tesra.DelayMs = 0;
    fs::remove(link); // a reopen would now fail: the open descriptor must simply stay
    uint8_t buf[kFrameBufferSize];
    EXPECT_EQ(tesra.ReadRegisters(buf, 0, 2), kResultNoAnswer);
    clock.sleepMs(2000);
    dev.serve(readAnswer(1, {0x3F, 0x80, 0x00, 0x00}));
    EXPECT_EQ(tesra.ReadValue(reg::kFlow), "1");
    dev.stop();
}

TEST(SerialChannel, LineSettingsOfDeviceAndUpdateSets) {
    struct Case {
        bool update;
        speed_t speed;
        bool twoStopBits;
        bool xonXoff;
    };
    for (Case c : {Case{false, B9600, true, false}, Case{true, B57600, false, true}}) {
        PtyDevice dev;
        ASSERT_TRUE(dev.ok());
        LoopbackClock clock;
        TComm comm(clock);
        comm.SetComPortPath(1, dev.path());
        TConnectionSettings s;
        TChannel ch = c.update ? comm.OpenUpdateChannel(s) : comm.OpenChannel(s);
        ASSERT_GT(ch.Handle, 0) << comm.LastOpenError;
        // A second descriptor of the same terminal shows its settings (root passes TIOCEXCL).
        int fd = ::open(dev.path().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (fd < 0) {
            EXPECT_EQ(errno, EBUSY) << "held exclusively";
            comm.CloseChannel(ch);
            continue;
        }
        termios t{};
        ASSERT_EQ(::tcgetattr(fd, &t), 0);
        ::close(fd);
        EXPECT_EQ(::cfgetospeed(&t), c.speed);
        EXPECT_EQ((t.c_cflag & CSIZE), static_cast<tcflag_t>(CS8));
        EXPECT_FALSE(t.c_cflag & PARENB);
        EXPECT_EQ(bool(t.c_cflag & CSTOPB), c.twoStopBits);
        EXPECT_EQ(bool(t.c_iflag & IXON), c.xonXoff);
        EXPECT_EQ(bool(t.c_iflag & IXOFF), c.xonXoff);
        EXPECT_FALSE(t.c_cflag & CRTSCTS);
        EXPECT_FALSE(t.c_lflag & (ICANON | ECHO));
        if (c.xonXoff) {
            EXPECT_EQ(t.c_cc[VSTART], 0x11);
            EXPECT_EQ(t.c_cc[VSTOP], 0x13);
        }
        comm.CloseChannel(ch);
    }
}

TEST(SerialChannel, PortAlreadyInUseIsRefused) {
    PtyDevice dev;
    ASSERT_TRUE(dev.ok());
    LoopbackClock clock;
    TComm comm(clock);
    ScriptedUi ui;
    comm.setUi(&ui);
    comm.SetComPortPath(2, dev.path());
    TConnectionSettings s;
    s.Port = 2;
    TChannel first = comm.OpenChannel(s);
    ASSERT_GT(first.Handle, 0);
    TChannel second = comm.OpenChannel(s);
    EXPECT_EQ(second.Handle, -1);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Fehler: Verbindung wird schon verwendet!");
    EXPECT_EQ(ui.messages[0].caption, "COM2");
    EXPECT_NE(comm.LastOpenError.find("in use"), std::string::npos) << comm.LastOpenError;
    comm.CloseChannel(first);
    TChannel again = comm.OpenChannel(s);
    EXPECT_GT(again.Handle, 0) << "closing releases the port";
    comm.CloseChannel(again);
}

TEST(SerialChannel, VanishedPortAnswersNothingAndRecoversWhenBack) {
    namespace fs = std::filesystem;
    fs::path link = fs::temp_directory_path() / ("getkelo-port-" + std::to_string(::getpid()));
    fs::remove(link);
    auto dev = std::make_unique<PtyDevice>();
    ASSERT_TRUE(dev->ok());
    fs::create_symlink(dev->path(), link);
    Bytes answer = readAnswer(1, {0x3F, 0x80, 0x00, 0x00});
    dev->serve(answer);

    LoopbackClock clock;
    TComm comm(clock);
    comm.RetryLimit = 30;
    comm.SetComPortPath(1, link.string());
    TTesra tesra(comm, TConnectionSettings{});
    ASSERT_GT(tesra.Handle, 0) << comm.LastOpenError;
    tesra.DelayMs = 0;
    EXPECT_EQ(tesra.ReadValue(reg::kFlow), "1");
    EXPECT_EQ(comm.channelState(tesra.Handle), ChannelState::Open);

    dev.reset(); // adapter pulled
    uint8_t buf[kFrameBufferSize];
    auto realStart = std::chrono::steady_clock::now();
    int64_t start = clock.nowMs();
    EXPECT_EQ(tesra.ReadRegisters(buf, 0, 2), kResultNoAnswer);
    EXPECT_EQ(tesra.ReadRegisters(buf, 0, 2), kResultNoAnswer);
    EXPECT_GE(clock.nowMs() - start, 2 * 300 - 20) << "each exchange runs out its window";
    EXPECT_LT(std::chrono::steady_clock::now() - realStart, std::chrono::milliseconds(500));
    EXPECT_EQ(comm.channelState(tesra.Handle), ChannelState::Reconnecting); // for the status bar

    dev = std::make_unique<PtyDevice>(); // adapter back, under the same stable name
    ASSERT_TRUE(dev->ok());
    fs::remove(link);
    fs::create_symlink(dev->path(), link);
    dev->serve(answer);
    clock.sleepMs(1000);
    EXPECT_EQ(tesra.ReadValue(reg::kFlow), "1");
    EXPECT_EQ(comm.channelState(tesra.Handle), ChannelState::Open);
    EXPECT_EQ(comm.channelState(-1), ChannelState::Closed);
    dev->stop();
    fs::remove(link);
}

} // namespace
} // namespace getkelo
