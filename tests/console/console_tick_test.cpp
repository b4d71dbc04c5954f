#include "console/alarms/signal_page.h"
#include "console/control_mode.h"
#include "console_fixture.h"

#include "comm/register_descriptor.h"

namespace getkelo::test {
namespace {

using sim::Generation;

constexpr RegisterDescriptor kSetpointReg = makeDescriptor(0x0006, 2, kTypeFloat);

class TickTest : public ConsoleTest {
  protected:
    // Stored devices at these addresses, all on the bus; scope as given.
    void startWith(std::vector<int> addresses, bool all, Generation g = Generation::Series4) {
        std::string initSection = "[Init]\nMulti=" + std::string(all ? "1" : "0") + "\n";
        int n = 1;
        for (int a : addresses) {
            bus.addDevice(simDevice(g, a, 1000 + a));
            initSection += "tesra_" + std::to_string(n++) + "=" + std::to_string(a) + "\n";
        }
        writeText(ini(), initSection);
        start();
        ASSERT_EQ(list().count(), static_cast<int>(addresses.size()));
    }
    void ticks(int n) {
        for (int i = 0; i < n; ++i)
            console->TimerTimer();
    }
};

TEST_F(TickTest, SetpointOfExactlyRangeTimes1001IsSentLargerOrNoNumberIsRefused) {
    startWith({1}, false);
    console->SollOKBtnClick("100.1"); // range 100
    size_t from = mark();
    console->TimerTimer();
    auto frames = sentSince(from);
    ASSERT_EQ(frames.size(), 1u); // the setpoint tick polls nothing
    EXPECT_EQ(frames[0][1], 0x10);
    EXPECT_EQ(bus.device(1)->get(kSetpointReg), "100.1");
    EXPECT_EQ(console->pendingSetpoint(), -1.0f);

    // Above the range or below 0 the tick refuses; a text that is no number the click does.
    for (const char* refused : {"100.2", "-1", "", "abc", "5O", "1,2,3"}) {
        ui.messages.clear();
        console->SollOKBtnClick(refused);
        from = mark();
        console->TimerTimer();
        for (const auto& frame : sentSince(from))
            EXPECT_NE(frame[1], 0x10) << refused;
        ASSERT_EQ(ui.messages.size(), 1u) << refused;
        EXPECT_EQ(ui.messages[0].text, "<SetPointError>");
        EXPECT_EQ(ui.messages[0].caption, "<NewSetPoint>");
        EXPECT_EQ(console->pendingSetpoint(), -1.0f);
        EXPECT_EQ(bus.device(1)->get(kSetpointReg), "100.1");
    }
}

TEST_F(TickTest, DecimalCommaSetpointIsTaken) {
    startWith({1}, false);
    console->SollOKBtnClick("12,5");
    EXPECT_FLOAT_EQ(console->pendingSetpoint(), 12.5f);
    console->TimerTimer();
    EXPECT_EQ(bus.device(1)->get(kSetpointReg), "12.5");
    console->TimerTimer();
    EXPECT_EQ(view.setpointText, "12.5");
}

TEST_F(TickTest, SetpointFieldIsNotOverwrittenWhileItHasTheFocus) {
    startWith({1}, false);
    view.setpointText = "typing";
    view.setpointFocus = true;
    ticks(2);
    EXPECT_EQ(view.setpointText, "typing");
    view.setpointFocus = false;
    console->TimerTimer();
    EXPECT_EQ(view.setpointText, "0");
}

TEST_F(TickTest, DeviceFailingFourTicksIsRemovedAndRowsBelowMoveUp) {
    struct Log : LogHook {
        std::vector<int> removed;
        bool running() const override { return false; }
        bool scheduleStep() override { return false; }
        void writeLine(int) override {}
        void rowRemoved(int row) override { removed.push_back(row); }
        void start() override {}
        void stop() override {}
    } log;
    for (int a : {1, 2, 3})
        bus.addDevice(simDevice(Generation::Series4, a, 1000 + a));
    writeText(ini(), "[Init]\nMulti=1\ntesra_1=1\ntesra_2=2\ntesra_3=3\n");
    makeConsole();
    console->setLogHook(&log);
    start();
    ASSERT_EQ(list().count(), 3);
    console->devices().setCell(3, kColLogMark, " x");
    bus.setFault(1, sim::Fault::Silent);
    ticks(3);
    EXPECT_EQ(list().cell(1, kColFlow), "Timeout!");
    EXPECT_NE(list().cell(1, kColTemperature).find("|||"), std::string::npos);
    EXPECT_EQ(list().count(), 3);
    ticks(1);
    ASSERT_EQ(list().count(), 2);
    EXPECT_EQ(log.removed, std::vector<int>{1});
    EXPECT_EQ(list().cell(1, kColAddress), "2");
    EXPECT_EQ(list().record(1).address, 2);
    EXPECT_EQ(list().cell(1, kColSerial), "1002");
    EXPECT_EQ(list().cell(2, kColAddress), "3");
    EXPECT_EQ(list().record(2).address, 3);
    EXPECT_EQ(list().cell(2, kColLogMark), " x");
    // The device that moved into row 1 was polled in the same tick.
    EXPECT_NE(list().cell(1, kColFlow), "");
    EXPECT_EQ(list().cell(1, kColTemperature).find('|'), std::string::npos);
    EXPECT_TRUE(view.timerOn);
}

TEST_F(TickTest, OneGoodPollBetweenFailuresResetsTheMarks) {
    startWith({1}, false);
    bus.setFault(1, sim::Fault::BadCrc);
    ticks(3);
    EXPECT_EQ(list().cell(1, kColFlow), "CRC error!");
    bus.setFault(1, sim::Fault::None);
    ticks(1);
    EXPECT_EQ(list().cell(1, kColTemperature).find('|'), std::string::npos);
    bus.setFault(1, sim::Fault::Short);
    ticks(3);
    EXPECT_EQ(list().cell(1, kColFlow), "Too short!");
    EXPECT_EQ(list().count(), 1);
}

TEST_F(TickTest, LastDeviceLeavingEmptiesTheListAndStartsAScan) {
    startWith({4}, false);
    bus.setFault(4, sim::Fault::Silent);
    ticks(4);
    EXPECT_EQ(list().count(), 0);
    EXPECT_TRUE(console->scanning());
    EXPECT_TRUE(view.scanDown);
    EXPECT_TRUE(view.timerOn);
}

TEST_F(TickTest, PulledCableDevicesLeaveAndTheFollowingScanFindsThemBack) {
    startWith({2, 5}, true);
    bus.setUnplugged(true);
    ticks(4);
    EXPECT_EQ(list().count(), 0);
    ASSERT_TRUE(console->scanning());
    ticks(10); // the scan runs on while the bus is away
    bus.setUnplugged(false);
    finishScan();
    // Addresses probed while the bus was away are found by the next scan.
    console->CheckBusClick(true);
    finishScan();
    ASSERT_EQ(list().count(), 2);
    EXPECT_EQ(list().cell(1, kColAddress), "2");
    EXPECT_EQ(list().cell(2, kColAddress), "5");
    ticks(1);
    EXPECT_NE(list().cell(2, kColFlow), "Timeout!");
}

TEST_F(TickTest, SingleDeviceScopeEmptiesTheOtherRows) {
    startWith({1, 2, 3}, true);
    ticks(1);
    EXPECT_NE(list().cell(1, kColFlow), "");
    EXPECT_NE(list().cell(3, kColTotal), "");
    console->setPollAll(false);
    console->selectRow(2);
    size_t from = mark();
    ticks(1);
    for (int r : {1, 3})
        for (int c : {kColFlow, kColTemperature, kColTotal})
            EXPECT_EQ(list().cell(r, c), "");
    EXPECT_NE(list().cell(2, kColFlow), "");
    for (const auto& f : sentSince(from))
        EXPECT_EQ(f[0], 2); // only the selected device
    EXPECT_EQ(view.status, "Read Address 2");
}

TEST_F(TickTest, TickRunsWithTheTimerOffAndSetsTheDoneFlag) {
    struct Alarm : AlarmHook {
        FakeConsoleView* v;
        std::vector<int> rows;
        bool timerWasOn = false;
        void refresh(int row) override {
            rows.push_back(row);
            timerWasOn |= v->timerOn;
        }
    } alarm;
    alarm.v = &view;
    for (int a : {1, 2})
        bus.addDevice(simDevice(Generation::Series4, a, 1000 + a));
    writeText(ini(), "[Init]\ntesra_1=1\ntesra_2=2\nAktiv=2\n");
    makeConsole();
    console->setAlarmHook(&alarm);
    start();
    console->tickDone().take();
    ticks(1);
    EXPECT_EQ(alarm.rows, std::vector<int>{2});
    EXPECT_FALSE(alarm.timerWasOn);
    EXPECT_TRUE(view.timerOn);
    EXPECT_TRUE(console->tickDone().take());
    view.flowGraph = true;
    ticks(1);
    EXPECT_EQ(alarm.rows.size(), 1u); // no alarm refresh while the flow graph shows
}

TEST_F(TickTest, DueLineWithoutMarkedDeviceStopsLoggingWithMessage) {
    struct Log : LogHook {
        bool on = true;
        std::vector<int> lines;
        bool running() const override { return on; }
        bool scheduleStep() override { return true; }
        void writeLine(int row) override { lines.push_back(row); }
        void rowRemoved(int) override {}
        void start() override { on = true; }
        void stop() override { on = false; }
    } log;
    for (int a : {1, 2})
        bus.addDevice(simDevice(Generation::Series4, a, 1000 + a));
    writeText(ini(), "[Init]\ntesra_1=1\ntesra_2=2\ntesraLog_2=1\nAktiv=1\n");
    makeConsole();
    console->setLogHook(&log);
    start();
    console->setPollAll(true);
    ticks(1);
    EXPECT_EQ(log.lines, std::vector<int>{2});
    EXPECT_TRUE(ui.messages.empty());
    console->setPollAll(false); // the marked device is not the selected one
    ticks(1);
    ASSERT_EQ(ui.messages.size(), 1u);
    // Names the one device that is polled.
    EXPECT_EQ(ui.messages[0].text, "<InfoNoLogDevice>\nAbgefragt wird nur Gerät 1001 (Adresse 1).");
    EXPECT_EQ(ui.messages[0].caption, "GetKelo");
    EXPECT_FALSE(log.on);
}

TEST_F(TickTest, ControlModeEntriesRecordCodesAndPressurePageFollowsTheWrite) {
    auto c = simDevice(Generation::Series4, 2, 202);
    c.functions = 0x21;
    c.controlMode = 0;
    bus.addDevice(c);
    writeText(ini(), "[Init]\ntesra_1=2\n");
    start();
    EXPECT_FALSE(view.page(ConsolePage::PressureControl));
    SignalPage signal(console->devices(), view, [this] { return console->connection(); });
    signal.setPressurePage([this](int code) { console->showPressurePageFor(code); });
    signal.tbsSignaleShow();
    signal.modeChange(3);
    EXPECT_EQ(controlModeCode(signal.state().modeEntry), 10);
    EXPECT_TRUE(signal.state().modeChanged);
    signal.modeChange(8);
    EXPECT_EQ(controlModeCode(signal.state().modeEntry), 5);
    EXPECT_FALSE(view.page(ConsolePage::PressureControl)); // only recorded so far
    signal.UebernehmenClick();
    EXPECT_EQ(bus.device(2)->get(makeDescriptor(0x000E, 1, kTypeUInt16)), "5");
    EXPECT_TRUE(view.page(ConsolePage::PressureControl));
    EXPECT_FALSE(signal.state().modeChanged);
    view.front = ConsolePage::PressureControl;
    ticks(1);
    ASSERT_EQ(view.pressureValues.size(), 1u);
    EXPECT_EQ(view.pressureValues[0].pressureUnit, "bar");
    EXPECT_EQ(view.pressureValues[0].valve.back(), '%');
    // The valve load as "0.##": no exponent of the noise near 0.
    EXPECT_EQ(view.pressureValues[0].valve.find('E'), std::string::npos);
}

TEST_F(TickTest, BroadcastCommandsReachEveryDeviceAlsoUnlisted) {
    startWith({1}, false);
    bus.addDevice(simDevice(Generation::Series4, 9, 1009)); // not in the list
    console->SollOKBtnClick("50");
    ticks(1);
    bus.device(9)->writeRegisters(0x0006, 2, std::vector<uint8_t>{0x42, 0x48, 0, 0}.data(),
                                  clock.nowMs());
    size_t from = mark();
    console->SollNullClick();
    auto frames = sentSince(from);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0][0], 0);
    EXPECT_EQ(bus.device(1)->get(kSetpointReg), "0");
    EXPECT_EQ(bus.device(9)->get(kSetpointReg), "0");
    from = mark();
    console->SoftresetClick();
    frames = sentSince(from);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0][0], 0);
    EXPECT_EQ(frames[0][3], 0x34);
}

TEST_F(TickTest, ExitRelocksAllDevicesWithOneBroadcast) {
    startWith({1}, false);
    EXPECT_TRUE(bus.device(1)->unlocked());
    const size_t from = mark();
    console->BeendenMnuClick();
    const auto frames = sentSince(from);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0][0], 0);    // broadcast
    EXPECT_EQ(frames[0][3], 0x2B); // access-code register
    EXPECT_FALSE(bus.device(1)->unlocked());
    EXPECT_EQ(console->connection(), nullptr);
}

// Single-device scope: the selected controller leaves, a meter moves into its row.
TEST_F(TickTest, SelectedDeviceRemovedTheWindowShowsTheDeviceNowInItsRow) {
    auto meter = simDevice(Generation::Second, 2, 1002);
    meter.functions = 0;
    bus.addDevice(simDevice(Generation::Series4, 1, 1001));
    bus.addDevice(meter);
    writeText(ini(), "[Init]\ntesra_1=1\ntesra_2=2\n");
    start();
    ASSERT_EQ(list().count(), 2);
    EXPECT_TRUE(view.isEnabled(ConsoleControl::SetpointEntry));
    EXPECT_TRUE(view.page(ConsolePage::Extras));
    const std::string controllerVersion = view.software;
    console->SollOKBtnClick("50");
    console->selectRow(1);
    EXPECT_EQ(console->pendingSetpoint(), -1.0f); // a new selection drops what was typed

    bus.setFault(1, sim::Fault::Silent);
    ticks(4);
    ASSERT_EQ(list().count(), 1);
    EXPECT_EQ(list().record(1).address, 2);
    EXPECT_NE(view.software, controllerVersion);
    EXPECT_FALSE(view.page(ConsolePage::Extras));
    EXPECT_EQ(view.unitLabels, "");
    EXPECT_FALSE(view.isEnabled(ConsoleControl::SetpointEntry));
    EXPECT_FALSE(view.isEnabled(ConsoleControl::SetpointButton));
    EXPECT_EQ(console->connection()->Address, 2);
}

} // namespace
} // namespace getkelo::test
