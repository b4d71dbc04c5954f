#pragma once
#include "automation/automation_server.h"
#include "automation/serving_clock.h"
#include "console/logging/data_logger.h"
#include "console_fixture.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace getkelo::test {

// A script's end of the socket for single-threaded tests: lines are sent at once and read
// back after the test has let the console run.
class TestClient {
  public:
    explicit TestClient(const std::string& path) {
        fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", path.c_str());
        connected_ = ::connect(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    }
    ~TestClient() { close(); }
    bool connected() const { return connected_; }
    void close() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }
    void sendRaw(const std::string& text) {
        ASSERT_EQ(::send(fd_, text.data(), text.size(), MSG_NOSIGNAL),
                  static_cast<ssize_t>(text.size()));
    }
    void send(const Json& request) { sendRaw(request.dump() + "\n"); }
    // Every complete line that has arrived.
    std::vector<Json> lines() {
        char chunk[65536];
        for (pollfd p{fd_, POLLIN, 0}; ::poll(&p, 1, 0) > 0;) {
            ssize_t n = ::recv(fd_, chunk, sizeof chunk, MSG_DONTWAIT);
            if (n <= 0) break;
            buffer_.append(chunk, static_cast<size_t>(n));
        }
        std::vector<Json> out;
        for (size_t nl; (nl = buffer_.find('\n')) != std::string::npos;) {
            out.push_back(Json::parse(buffer_.substr(0, nl)));
            buffer_.erase(0, nl + 1);
        }
        return out;
    }
    // The answers (lines with an id) among lines().
    std::vector<Json> answers() {
        std::vector<Json> out;
        for (Json& l : lines())
            if (!l.contains("event")) out.push_back(std::move(l));
        return out;
    }
    int fd() const { return fd_; }

  private:
    int fd_ = -1;
    bool connected_ = false;
    std::string buffer_;
};

// The console on five simulated devices, polling all of them on virtual time, with its
// automation socket in a scratch folder.
class AutomationTest : public ::testing::Test {
  protected:
    AutomationTest()
        : clock(virtualClock), comm(clock), bus(virtualClock), texts(germanTexts()),
          console(comm, view, ui, texts,
                  ConsolePaths{dir.file("GetKelo.ini"), dir.path(), dir.path()}),
          logger(console.devices(), clock, ui), server(console, clock) {
        std::string init = "[Init]\nMulti=1\n";
        for (int a = 1; a <= 5; ++a) {
            // Controllers of series 4 with ranges 100, 200, ... so their values differ.
            sim::DeviceConfig c = simDevice(sim::Generation::Series4, a, 1000 + a);
            c.range = 100.0 * a;
            bus.addDevice(c);
            init += "tesra_" + std::to_string(a) + "=" + std::to_string(a) + "\n";
        }
        writeText(dir.file("GetKelo.ini"), init);
        console.setConnectionFactory([this](TComm& c) {
            return std::make_unique<TTesra>(
                c, c.AttachTransport(std::make_unique<sim::SimTransport>(bus, virtualClock)));
        });
        logger.setWorkDir([this] { return dir.path() + "/logs"; });
        console.setLogHook(&logger);
        clock.setServer(&server);
        console.setRequestHook(&server);
    }
    ~AutomationTest() override { clock.setServer(nullptr); }

    void SetUp() override {
        console.FormShow();
        ASSERT_EQ(console.devices().count(), 5);
        ASSERT_EQ(server.listen(socketPath()), AutomationListener::Outcome::Listening);
    }
    std::string socketPath() const { return dir.file("run/console.sock"); }
    // One polling tick as the timer runs it: 100 ms, then the tick.
    void tick() {
        clock.sleepMs(100);
        console.TimerTimer();
    }
    // The virtual time n ticks take.
    int64_t ticksMs(int n) {
        int64_t t0 = virtualClock.nowMs();
        for (int i = 0; i < n; ++i)
            tick();
        return virtualClock.nowMs() - t0;
    }
    // Sends a request and lets the console serve it (at once, or in the next tick).
    Json ask(TestClient& client, const Json& request) {
        client.send(request);
        server.pump();
        std::vector<Json> got = client.answers();
        if (got.empty()) {
            tick();
            got = client.answers();
        }
        return got.empty() ? Json() : got.back();
    }

    TempDir dir;
    VirtualClock virtualClock;
    ServingClock clock;
    TComm comm;
    sim::SimBus bus;
    FakeConsoleView view;
    ScriptedUi ui;
    MapTextSource texts;
    Console console;
    DataLogger logger;
    AutomationServer server;
};

} // namespace getkelo::test
