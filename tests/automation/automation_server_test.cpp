#include "automation_fixture.h"

#include "comm/register_catalogue.h"

#include <sys/stat.h>

namespace getkelo::test {
namespace {

namespace err = automation_error;

// The flow of each device follows a setpoint of its own, so values that went to the wrong
// device would show.
void differentSetpoints(Console& console) {
    for (int a = 1; a <= 5; ++a) {
        console.connection()->Address = static_cast<uint8_t>(a);
        console.connection()->WriteValue(reg::kSetpoint, std::to_string(10 * a), kWriteAddressed);
    }
}

TEST_F(AutomationTest, TwoClientsGetEveryTickWithTheValuesOfTheRightDevices) {
    differentSetpoints(console);
    const int64_t alone = ticksMs(10);

    TestClient a(socketPath()), b(socketPath());
    ASSERT_TRUE(a.connected() && b.connected());
    a.send({{"id", 1}, {"op", "subscribe"}});
    b.send({{"id", "b"}, {"op", "subscribe"}, {"addresses", {2, 4}}});
    server.pump();
    EXPECT_EQ(a.answers().at(0)["result"]["subscribed"], true);
    EXPECT_EQ(b.answers().at(0)["id"], "b");

    int64_t shared = 0;
    for (int t = 0; t < 10; ++t) {
        a.send({{"id", 100 + t}, {"op", "values"}}); // a script asking while the console polls
        shared += ticksMs(1);
        const DeviceList& list = console.devices();
        std::vector<Json> ofA = a.lines(), ofB = b.lines();
        ASSERT_EQ(ofA.size(), 2u) << "one answer and one tick";
        ASSERT_EQ(ofB.size(), 1u);
        const Json& tickA = ofA[0].contains("event") ? ofA[0] : ofA[1];
        ASSERT_EQ(tickA["devices"].size(), 5u);
        ASSERT_EQ(ofB[0]["devices"].size(), 2u);
        for (const Json* event : std::vector<const Json*>{&tickA, &ofB[0]}) {
            for (const Json& d : (*event)["devices"]) {
                const int row = list.findAddress(d["address"].get<int>());
                EXPECT_EQ(d["flow"], list.cell(row, kColFlow));
                EXPECT_EQ(d["setpoint"], std::to_string(10 * d["address"].get<int>()));
                EXPECT_LE(d["time_ms"].get<int64_t>(), (*event)["time_ms"].get<int64_t>());
            }
        }
        EXPECT_EQ(ofB[0]["devices"][1], tickA["devices"][3]) << "both see the same poll";
    }
    // Serving the clients adds no exchange and no wait to the polling.
    EXPECT_LE(std::abs(shared - alone), alone / 20) << alone << " ms alone, " << shared;
}

TEST_F(AutomationTest, BadRequestsGetErrorAnswersAndTheConnectionStaysUsable) {
    TestClient c(socketPath());
    struct Case {
        std::string line;
        const char* code;
    };
    const Case cases[] = {
        {"{\"id\": 1, \"op\": ", err::kBadJson},
        {"[1, 2]", err::kBadJson},
        {R"({"id": 2})", err::kBadRequest},
        {R"({"id": 3, "op": "reboot"})", err::kUnknownOp},
        {R"({"id": 4, "op": "values", "address": 9})", err::kUnknownDevice},
        {R"({"id": 5, "op": "read", "address": 9, "register": "Flow"})", err::kUnknownDevice},
        {R"({"id": 6, "op": "read", "address": 1, "register": "0x0000:double"})", err::kBadRequest},
        {R"({"id": 7, "op": "read", "address": 1, "register": "0x00000113"})", err::kBadRequest},
        {R"({"id": 8, "op": "setpoint", "address": 1, "value": "abc"})", err::kBadRequest},
        {R"({"op": "write", "broadcast": "yes", "register": "Setpoint", "value": 1})",
         err::kBadRequest},
        {std::string(30000, '[') + std::string(30000, ']'), err::kBadJson},
        {R"({"id": 9, "op": "setpoint", "address": 1, "value": 100.2})", err::kOutOfRange},
        {"{\"id\": 10, \"op\": \"list\", \"pad\": \"" + std::string(70000, 'x') + "\"}",
         err::kLineTooLong},
    };
    for (const Case& k : cases) {
        c.sendRaw(k.line + "\n");
        server.pump();
        std::vector<Json> got = c.answers();
        if (got.empty()) {
            tick();
            got = c.answers();
        }
        ASSERT_EQ(got.size(), 1u) << k.line.substr(0, 60);
        EXPECT_EQ(got[0]["ok"], false);
        EXPECT_EQ(got[0]["error"]["code"], k.code) << k.line.substr(0, 60);
        Json list = ask(c, {{"id", "next"}, {"op", "list"}});
        EXPECT_EQ(list["result"]["devices"].size(), 5u) << "after " << k.line.substr(0, 60);
    }
    EXPECT_EQ(server.clientCount(), 1);
}

TEST_F(AutomationTest, ClientThatNeverReadsIsDroppedAndTheTickGoesOn) {
    server.setBacklogLimit(16 * 1024);
    TestClient reader(socketPath()), sleeper(socketPath());
    reader.send({{"op", "subscribe"}});
    sleeper.send({{"op", "subscribe"}});
    server.pump();
    const int64_t before = ticksMs(1);
    int ticks = 0;
    while (server.clientCount() == 2 && ticks < 3000) {
        tick();
        reader.lines();
        ++ticks;
    }
    EXPECT_EQ(server.clientCount(), 1) << "after " << ticks << " ticks";
    EXPECT_LE(ticksMs(1), before + before / 20);
    tick();
    ASSERT_FALSE(reader.lines().empty()) << "the reading client still gets its ticks";
}

TEST_F(AutomationTest, ClosedClientLeavesNothingBehind) {
    {
        TestClient c(socketPath());
        c.send({{"op", "subscribe"}});
        c.send({{"op", "setpoint"}, {"address", 1}, {"value", 42}});
        server.pump();
        EXPECT_EQ(server.clientCount(), 1);
    }
    tick();
    EXPECT_EQ(server.clientCount(), 0);
    // Its waiting setpoint went with it.
    EXPECT_EQ(bus.device(1)->get(reg::kSetpoint), "0");
}

TEST_F(AutomationTest, ProtectedRegisterNeedsTheAccessCode) {
    TestClient c(socketPath());
    const Json write{
        {"op", "write"}, {"address", 2}, {"register", "PowerUpSetpoint"}, {"value", 7}};
    // The console's probe unlocked the device; the socket still asks for the code.
    Json refused = ask(c, write);
    EXPECT_EQ(refused["error"]["code"], err::kAccessDenied);
    Json wrong = write;
    wrong["access_code"] = "12345";
    EXPECT_EQ(ask(c, wrong)["error"]["code"], err::kAccessDenied);
    EXPECT_EQ(bus.device(2)->get(reg::kPowerUpSetpoint), "0");

    Json withCode = write;
    withCode["access_code"] = reg::kAccessCodeText;
    EXPECT_EQ(ask(c, withCode)["ok"], true);
    EXPECT_EQ(bus.device(2)->get(reg::kPowerUpSetpoint), "7");
    // The console's own commands need no code.
    EXPECT_EQ(
        ask(c,
            {{"op", "write"}, {"address", 2}, {"register", "0x0006:float"}, {"value", "5"}})["ok"],
        true);
}

TEST_F(AutomationTest, BusRequestsRunInTheTickAndLeaveTheAddressAlone) {
    TestClient c(socketPath());
    c.send({{"id", 1}, {"op", "read"}, {"address", 3}, {"register", "SerialNumber"}});
    c.send({{"id", 2}, {"op", "setpoint"}, {"address", 4}, {"value", "12,5"}});
    server.pump();
    EXPECT_TRUE(c.answers().empty()) << "the bus is the tick's";
    tick();
    std::vector<Json> got = c.answers();
    ASSERT_EQ(got.size(), 2u);
    // Between ticks, while the polling timer runs, a request does not wait for the next one.
    c.send({{"id", 3}, {"op", "read"}, {"address", 5}, {"register", "Range"}});
    server.serveIdle();
    std::vector<Json> idle = c.answers();
    ASSERT_EQ(idle.size(), 1u);
    EXPECT_EQ(idle[0]["result"]["value"], "500");
    EXPECT_EQ(got[0]["result"]["value"], "1003");
    EXPECT_EQ(got[1]["ok"], true);
    EXPECT_EQ(bus.device(4)->get(reg::kSetpoint), "12.5");
    EXPECT_EQ(view.status, "Read Address 1");
    EXPECT_EQ(console.connection()->Address, 1);
}

TEST_F(AutomationTest, LogStartsForTheMarkedDevicesAndStops) {
    TestClient c(socketPath());
    Json started = ask(c, {{"op", "log"}, {"action", "start"}, {"addresses", {2, 5}}});
    ASSERT_EQ(started["ok"], true) << started;
    EXPECT_EQ(started["result"]["logged"], Json({2, 5}));
    EXPECT_TRUE(logger.running());
    EXPECT_EQ(ask(c, {{"op", "log"}, {"action", "start"}, {"address", 1}})["error"]["code"],
              err::kLogger);
    EXPECT_EQ(ask(c, {{"op", "log"}, {"action", "stop"}})["result"]["running"], false);
    EXPECT_FALSE(logger.running());
}

// ---------------------------------------------------------------- the socket file

TEST(AutomationListenerTest, StaleSocketIsReplacedLiveConsoleIsNot) {
    TempDir dir;
    const std::string path = dir.file("run/console.sock");
    {
        // A console killed with its socket file left behind: bound, never removed.
        ::mkdir(dir.file("run").c_str(), 0755);
        int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", path.c_str());
        ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
        ::listen(fd, 1);
        ::close(fd);
    }
    struct stat st {};
    ASSERT_EQ(::lstat(path.c_str(), &st), 0);

    AutomationListener first, second;
    EXPECT_EQ(first.listen(path), AutomationListener::Outcome::Listening);
    EXPECT_EQ(second.listen(path), AutomationListener::Outcome::InUse);
    second.close();
    TestClient c(path);
    EXPECT_TRUE(c.connected()) << "the first one still serves";
    ASSERT_EQ(::stat(dir.file("run").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    first.close();
    EXPECT_NE(::lstat(path.c_str(), &st), 0) << "removed at the end";

    writeText(path, "not a socket");
    AutomationListener third;
    EXPECT_EQ(third.listen(path), AutomationListener::Outcome::Failed);
    EXPECT_EQ(readText(path), "not a socket");
}

TEST(AutomationListenerTest, NinthClientIsTurnedAwayWithAnAnswer) {
    TempDir dir;
    VirtualClock clock;
    TComm comm(clock);
    FakeConsoleView view;
    ScriptedUi ui;
    MapTextSource texts;
    Console console(comm, view, ui, texts, ConsolePaths{dir.file("GetKelo.ini"), "", ""});
    AutomationServer server(console, clock);
    ASSERT_EQ(server.listen(dir.file("console.sock")), AutomationListener::Outcome::Listening);
    std::vector<std::unique_ptr<TestClient>> clients;
    for (int i = 0; i < 9; ++i) {
        clients.push_back(std::make_unique<TestClient>(dir.file("console.sock")));
        server.pump();
    }
    EXPECT_EQ(server.clientCount(), AutomationServer::kMaxClients);
    std::vector<Json> got = clients.back()->lines();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0]["error"]["code"], err::kTooManyClients);
}

} // namespace
} // namespace getkelo::test
