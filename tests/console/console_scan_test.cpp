#include "console_fixture.h"

#include "base/ini_file.h"

#include "comm/value_codec.h"

namespace getkelo::test {
namespace {

using sim::Generation;

class ScanTest : public ConsoleTest {};

TEST_F(ScanTest, EmptySettingsStartAScanThatListsDevicesInAddressOrder) {
    auto series4 = simDevice(Generation::Series4, 5, 24010005);
    series4.functions = 0x03;
    bus.addDevice(series4);
    bus.addDevice(simDevice(Generation::Second, 1, 22010001));
    start();
    EXPECT_TRUE(console->scanning());
    EXPECT_TRUE(view.scanDown);
    EXPECT_EQ(comm.RetryLimit, 15);
    finishScan();
    ASSERT_FALSE(console->scanning());
    EXPECT_FALSE(view.scanDown);
    ASSERT_EQ(list().count(), 2);
    EXPECT_EQ(list().cell(1, kColAddress), "1");
    EXPECT_EQ(list().cell(1, kColSerial), "22010001");
    EXPECT_EQ(list().cell(1, kColTypeCode), "GKM-2N2A-A1S0000");
    EXPECT_EQ(list().record(1).softwareVersion, "2.3.01");
    EXPECT_EQ(list().record(1).hardwareVersion, "2.1.00");
    EXPECT_EQ(list().cell(2, kColAddress), "5");
    EXPECT_EQ(list().cell(2, kColSerial), "24010005");
    EXPECT_EQ(list().cell(2, kColRange), "100");
    EXPECT_EQ(list().cell(2, kColUnit), "ln/min");
    EXPECT_EQ(list().cell(2, kColGas), "N2");
    EXPECT_EQ(list().cell(2, kColTotalUnit), "ln");
    EXPECT_EQ(list().cell(2, kColDegrees), "°C");
    EXPECT_EQ(list().record(2).functions, 0x03u);
    EXPECT_EQ(list().record(2).unit, "ln/min");
    // The last row found is selected, and the polling limit is back.
    EXPECT_EQ(list().selectedRow(), 2);
    EXPECT_EQ(console->currentRow(), 2);
    EXPECT_EQ(comm.RetryLimit, 100);
    EXPECT_TRUE(view.isEnabled(ConsoleControl::SetAddress));
    EXPECT_TRUE(view.isEnabled(ConsoleControl::NewDevice));
    EXPECT_TRUE(view.timerOn);
    // The end of the scan saved the addresses.
    IniFile f(ini());
    EXPECT_EQ(f.readInteger("Init", "tesra_1"), 1);
    EXPECT_EQ(f.readInteger("Init", "tesra_2"), 5);
}

TEST_F(ScanTest, FirstGenerationGetsFunctionsZeroAndNoSecondTypeCodePart) {
    bus.addDevice(simDevice(Generation::First, 2, 21010002));
    start();
    finishScan();
    ASSERT_EQ(list().count(), 1);
    EXPECT_EQ(list().record(1).functions, 0u);
    EXPECT_EQ(list().cell(1, kColTypeCode), "GKM-1N2A");
    EXPECT_EQ(list().cell(1, kColTotalUnit), "");
    EXPECT_EQ(view.unitLabels, "");
    EXPECT_FALSE(view.isEnabled(ConsoleControl::TotalReset));
}

TEST_F(ScanTest, ReleasingTheButtonEndsTheScanWhereItStands) {
    bus.addDevice(simDevice(Generation::Second, 1, 101));
    bus.addDevice(simDevice(Generation::Second, 100, 102));
    start();
    for (int i = 0; i < 5; ++i)
        console->TimerTimer();
    console->CheckBusClick(false);
    EXPECT_FALSE(console->scanning());
    ASSERT_EQ(list().count(), 1);
    EXPECT_EQ(list().cell(1, kColAddress), "1");
    EXPECT_TRUE(view.isEnabled(ConsoleControl::AllAddress247));
}

TEST_F(ScanTest, AllAdr247SendsOneBroadcastAndRescansFromOne) {
    bus.addDevice(simDevice(Generation::Second, 3, 103));
    bus.addDevice(simDevice(Generation::Second, 8, 108));
    writeText(ini(), "[Init]\ntesra_1=3\ntesra_2=8\n");
    start();
    size_t from = mark();
    console->AllAdr247Click();
    auto frames = sentSince(from);
    ASSERT_GE(frames.size(), 2u);
    int broadcasts = 0;
    for (const auto& f : frames)
        broadcasts += f[0] == 0;
    EXPECT_EQ(broadcasts, 1);
    EXPECT_EQ(frames[0][0], 0);
    EXPECT_EQ(frames[0][1], 0x10);
    EXPECT_EQ(frames[0][3], 0x13);
    EXPECT_EQ(frames[0][8], 247);
    EXPECT_EQ(frames[1][0], 1); // the rescan starts at address 1
    EXPECT_TRUE(console->scanning());
    EXPECT_EQ(list().count(), 0);
}

TEST_F(ScanTest, RefusedConfirmationOfBusWideActionsSendsNothing) {
    bus.addDevice(simDevice(Generation::Second, 3, 103));
    writeText(ini(), "[Init]\ntesra_1=3\n");
    start();
    const size_t from = mark();
    ui.messageAnswers = {MsgAnswer::No, MsgAnswer::No};
    console->AllAdr247Click();
    console->SoftresetClick();
    EXPECT_TRUE(sentSince(from).empty());
    ASSERT_EQ(ui.messages.size(), 2u);
    for (const auto& m : ui.messages) // each names what would happen and asks
        EXPECT_EQ(m.buttons, MsgButtons::YesNo);
    EXPECT_NE(ui.messages[0].text.find("247"), std::string::npos);
    EXPECT_FALSE(console->scanning());
    EXPECT_EQ(list().count(), 1);
    EXPECT_TRUE(view.timerOn);
}

TEST_F(ScanTest, AllAdr247WithCollidingDevicesSaysWhyTheRescanFindsNone) {
    bus.addDevice(simDevice(Generation::Second, 3, 103));
    bus.addDevice(simDevice(Generation::Second, 8, 108));
    writeText(ini(), "[Init]\ntesra_1=3\ntesra_2=8\n");
    start();
    console->AllAdr247Click();
    finishScan();
    ASSERT_EQ(list().count(), 0);
    ASSERT_EQ(ui.messages.size(), 2u); // the question, then why nothing was found
    EXPECT_NE(ui.messages[1].text.find("Neuer kel-o"), std::string::npos);
}

TEST_F(ScanTest, ScanShowsProgressAndItsStopEndsItWithinOneTick) {
    bus.addDevice(simDevice(Generation::Second, 2, 102));
    bus.addDevice(simDevice(Generation::Second, 100, 103));
    start(); // no stored devices: the scan starts
    ASSERT_TRUE(console->scanning());
    EXPECT_EQ(ui.progressEvents[0], "start:Suche kel-o||247");
    EXPECT_EQ(ui.progressEvents[1], "stoppable:Stopp");
    for (int i = 0; i < 4; ++i)
        console->TimerTimer();
    EXPECT_EQ(ui.progressEvents.back(), "pos:5");
    EXPECT_EQ(ui.progressEvents[ui.progressEvents.size() - 2],
              "label:Adresse 5 von 247, 1 Geräte gefunden");
    ui.stopRequested = true;
    console->TimerTimer();
    EXPECT_FALSE(console->scanning());
    EXPECT_FALSE(view.scanDown);
    EXPECT_EQ(ui.progressEvents.back(), "finish:1 Geräte gefunden");
    ASSERT_EQ(list().count(), 1);
    EXPECT_TRUE(view.timerOn);
    const size_t from = mark();
    console->TimerTimer(); // polls; probes nothing any more
    for (const auto& f : sentSince(from))
        EXPECT_EQ(f[0], 2);
}

TEST_F(ScanTest, AnotherConnectionClearsTheOldBusListAndScansTheNewBus) {
    sim::SimBus second(clock);
    second.addDevice(simDevice(Generation::Second, 1, 201));
    bus.addDevice(simDevice(Generation::Second, 40, 140));
    writeText(ini(), "[Tesra]\nCom=1\n[Init]\ntesra_1=40\n");
    makeConsole();
    sim::SimBus* active = &bus;
    console->setConnectionFactory([&](TComm& c) {
        return std::make_unique<TTesra>(
            c, c.AttachTransport(std::make_unique<sim::SimTransport>(*active, clock)));
    });
    console->FormShow();
    ASSERT_EQ(list().count(), 1);
    EXPECT_EQ(console->linkName(), "COM1 (/dev/ttyS0)");
    // The same connection again: the list stays.
    console->closeConnection();
    console->reopenConnection();
    EXPECT_EQ(list().count(), 1);
    EXPECT_FALSE(console->scanning());
    // Another port: the old devices go and the new bus is scanned from address 1.
    IniFile(ini()).writeInteger("Tesra", "Com", 2);
    active = &second;
    console->closeConnection();
    console->reopenConnection();
    EXPECT_EQ(console->linkName(), "COM2 (/dev/ttyS1)");
    EXPECT_TRUE(console->scanning());
    EXPECT_EQ(list().count(), 1); // address 1 answered at once
    finishScan();
    ASSERT_EQ(list().count(), 1);
    EXPECT_EQ(list().cell(1, kColSerial), "201");
}

TEST_F(ScanTest, StatusBarNamesTheConnectionAndItsState) {
    writeText(ini(), "[Tesra]\nTcpIp=1\nIP=10.0.0.7\nPort=502\n");
    makeConsole();
    console->setConnectionFactory([](TComm& c) {
        return std::make_unique<TTesra>(c, TChannel{true, -1});
    });
    console->FormShow();
    EXPECT_EQ(view.connection, "TCP 10.0.0.7:502: nicht geöffnet");
    EXPECT_FALSE(view.connectionOk);
}

TEST_F(ScanTest, AddressDialogAsksAgainForZeroAndThreeHundredSayingWhy) {
    bus.addDevice(simDevice(Generation::Second, 3, 103));
    writeText(ini(), "[Init]\ntesra_1=3\n");
    start();
    ui.inputAnswers = {std::string("0"), std::string("300"), std::string("abc"), std::string("9")};
    console->ChangeAdrClick();
    ASSERT_EQ(ui.inputs.size(), 4u);
    EXPECT_EQ(ui.inputs[0].caption, "<SetAdr>");
    EXPECT_EQ(ui.inputs[0].prompt, "<NewAdr>");
    EXPECT_EQ(ui.inputs[0].defaultText, "3");
    EXPECT_EQ(ui.beeps, 1);
    // Each refused answer says why before the question comes again.
    ASSERT_EQ(ui.messages.size(), 4u);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(ui.messages[i].text, "Ungültige Adresse!\nErlaubt sind die Adressen 1 bis 247.");
    EXPECT_EQ(ui.messages[3].text, "<AdrOK>");
    finishScan();
    ASSERT_EQ(list().count(), 1);
    EXPECT_EQ(list().cell(1, kColAddress), "9");
    EXPECT_TRUE(view.timerOn);
}

TEST_F(ScanTest, AddressDialogKeepsTheAddressForItselfOrCancelAndRefusesATakenOne) {
    bus.addDevice(simDevice(Generation::Second, 3, 103));
    bus.addDevice(simDevice(Generation::Second, 4, 104));
    writeText(ini(), "[Init]\ntesra_1=3\n");
    start();
    size_t from = mark();
    ui.inputAnswers = {std::string("3"), std::nullopt};
    console->ChangeAdrClick();
    console->ChangeAdrClick();
    EXPECT_TRUE(sentSince(from).empty());
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(view.timerOn);
    ui.inputAnswers = {std::string("4")};
    console->ChangeAdrClick();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "<AdrExist>");
    EXPECT_EQ(ui.messages[0].caption, "<SetAdr>");
    EXPECT_NE(bus.device(3), nullptr);
    EXPECT_FALSE(console->scanning());
}

TEST_F(ScanTest, FactoryNewDeviceGetsAnAddressThroughNeuerKelo) {
    bus.addDevice(simDevice(Generation::Series4, 1, 101));
    writeText(ini(), "[Init]\ntesra_1=1\n");
    start();
    console->SearchNewClick(); // none at 247 yet
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "<NoKelo>");
    EXPECT_EQ(ui.messages[0].caption, "<NewKelo>");
    EXPECT_TRUE(ui.inputs.empty());

    bus.addDevice(simDevice(Generation::Series4, 247, 999));
    ui.inputAnswers = {std::string("12")};
    console->SearchNewClick();
    ASSERT_EQ(ui.inputs.size(), 1u);
    EXPECT_EQ(ui.inputs[0].defaultText, "247");
    EXPECT_NE(bus.device(12), nullptr);
    EXPECT_EQ(bus.device(247), nullptr);
    EXPECT_TRUE(console->scanning()); // the whole bus is scanned again
    finishScan();
    ASSERT_EQ(list().count(), 2);
    EXPECT_EQ(list().cell(2, kColAddress), "12");
    EXPECT_EQ(list().cell(2, kColSerial), "999");
}

TEST_F(ScanTest, FullListKeepsThirtyOneDevicesAndSaysSo) {
    for (int a = 1; a <= 33; ++a)
        bus.addDevice(simDevice(Generation::First, a, 1000 + a));
    start();
    finishScan();
    EXPECT_EQ(list().count(), kMaxDevices);
    EXPECT_EQ(list().cell(31, kColAddress), "31");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].text.find("2 weitere"), std::string::npos);
    EXPECT_FALSE(bus.device(32)->unlocked()); // a device not listed is not unlocked
    EXPECT_TRUE(bus.device(31)->unlocked());
}

} // namespace
} // namespace getkelo::test
