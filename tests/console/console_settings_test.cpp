#include "console_fixture.h"

#include "base/ini_file.h"

namespace getkelo::test {
namespace {

using sim::Generation;

class SettingsStartTest : public ConsoleTest {};

TEST_F(SettingsStartTest, AddressKeysStopAtFirstMissingRow) {
    bus.addDevice(simDevice(Generation::Second, 3, 301));
    bus.addDevice(simDevice(Generation::Second, 7, 701));
    bus.addDevice(simDevice(Generation::Second, 9, 901));
    writeText(ini(), "[Init]\ntesra_1=3\ntesra_2=7\ntesra_4=9\n");
    start();
    ASSERT_EQ(list().count(), 2);
    EXPECT_EQ(list().cell(1, kColAddress), "3");
    EXPECT_EQ(list().cell(2, kColAddress), "7");
    EXPECT_FALSE(console->scanning());
}

TEST_F(SettingsStartTest, RestoringInTicksLeavesTheWindowUsableAndEndsLikeAtOnce) {
    for (int a : {3, 7, 9})
        bus.addDevice(simDevice(Generation::Series4, a, 100 + a));
    writeText(ini(), "[Init]\ntesra_1=3\ntesra_2=7\ntesra_3=9\nAktiv=2\n");
    makeConsole();
    console->setRestoreInTicks(true);
    int64_t t0 = clock.nowMs();
    console->FormShow();
    // Nothing waited on the bus inside the first show.
    EXPECT_EQ(clock.nowMs(), t0);
    EXPECT_EQ(list().count(), 0);
    EXPECT_FALSE(console->started());
    EXPECT_FALSE(console->scanning()); // an empty list while restoring is no reason to scan
    for (int i = 0; i < 10 && !console->started(); ++i)
        console->TimerTimer();
    ASSERT_TRUE(console->started());
    ASSERT_EQ(list().count(), 3);
    EXPECT_EQ(list().cell(3, kColAddress), "9");
    EXPECT_EQ(list().selectedRow(), 2);
    EXPECT_FALSE(console->scanning());
}

TEST_F(SettingsStartTest, AddressKeyThatIsNoNumberIsSkippedNotTheEnd) {
    bus.addDevice(simDevice(Generation::Second, 3, 301));
    bus.addDevice(simDevice(Generation::Second, 9, 901));
    writeText(ini(), "[Init]\ntesra_1=3\ntesra_2=drei\ntesra_3=400\ntesra_4=9\ntesraLog_4=1\n");
    start();
    ASSERT_EQ(list().count(), 2);
    EXPECT_EQ(list().cell(2, kColAddress), "9");
    EXPECT_EQ(list().cell(2, kColLogMark), " x");
    EXPECT_EQ(list().cell(1, kColLogMark), "");
}

TEST_F(SettingsStartTest, LogMarkOfSilentStoredAddressMarksNoOtherDevice) {
    bus.addDevice(simDevice(Generation::Second, 3, 301));
    writeText(ini(), "[Init]\ntesra_1=3\ntesra_2=8\ntesraLog_2=1\n");
    start();
    ASSERT_EQ(list().count(), 1);
    EXPECT_EQ(list().cell(1, kColLogMark), "");
}

TEST_F(SettingsStartTest, EmptyUpdateDirectoryGetsDefaultAndExitWritesIt) {
    bus.addDevice(simDevice(Generation::Second, 3, 301));
    writeText(ini(),
              "[Programm]\nUpdateVerzeichnis=\nVerzeichnis=/data/logs/\n[Init]\ntesra_1=3\n");
    start();
    std::string expected = dir.path() + "/prog/SWUpdate/";
    EXPECT_EQ(console->settings().updateDir, expected);
    console->BeendenMnuClick();
    IniFile f(ini());
    EXPECT_EQ(f.readString("Programm", "UpdateVerzeichnis"), expected);
    EXPECT_EQ(f.readString("Programm", "Verzeichnis"), "/data/logs/");
    EXPECT_EQ(f.readInteger("Programm", "Graph_W"), 643);
    EXPECT_EQ(f.readString("Programm", "Sprache"), "Deutsch");
    EXPECT_TRUE(view.ended);
    EXPECT_FALSE(view.timerOn);
}

TEST(ServiceCode, CountsOnlyAtTheVeryStart) {
    struct Case {
        const char* value;
        bool service;
    } cases[] = {{"R2K", true}, {"R2K-extra", true}, {"xR2K", false}, {"r2k", false}, {"", false}};
    for (const Case& c : cases)
        EXPECT_EQ(ConsoleSettings::isServiceCode(c.value), c.service) << c.value;
    EXPECT_TRUE(ConsoleSettings::isProductionCode("QZPN"));
    EXPECT_FALSE(ConsoleSettings::isProductionCode("QZPN "));
}

TEST_F(SettingsStartTest, StateSaveWritesAddressesOfAllRowsAndLogKeyOfMarkedOnly) {
    for (int a : {2, 4, 6})
        bus.addDevice(simDevice(Generation::Second, a, 100 + a));
    writeText(ini(), "[Init]\ntesra_1=2\ntesra_2=4\ntesra_3=6\ntesra_4=0\ntesra_9=77\nOld=1\n");
    start();
    ASSERT_EQ(list().count(), 3);
    console->devices().setCell(2, kColLogMark, " x");
    console->saveState();
    IniFile f(ini());
    auto lines = f.sectionValues("Init");
    std::vector<std::string> keys;
    for (const auto& l : lines)
        if (l.rfind("tesra", 0) == 0) keys.push_back(l);
    EXPECT_EQ(keys,
              (std::vector<std::string>{"tesra_1=2", "tesra_2=4", "tesraLog_2=1", "tesra_3=6"}));
    EXPECT_FALSE(f.valueExists("Init", "Old")); // the section is rewritten whole
    EXPECT_TRUE(view.timerOn);
}

TEST_F(SettingsStartTest, RestoresScopeSelectionAndLoggerValues) {
    for (int a : {2, 4})
        bus.addDevice(simDevice(Generation::Second, a, 100 + a));
    writeText(ini(), "[Init]\ntesra_1=2\ntesra_2=4\nMulti=1\nAktiv=2\ndZeitEdit=1.5\n"
                     "ZeilenEdit=250\nLogGroup=1\nSollCheck=1\n[Mischer0]\nName=Luft\n"
                     "[Other]\nName=x\n[Mischer3]\nName=Argon\n");
    start();
    EXPECT_TRUE(console->pollAll());
    EXPECT_TRUE(view.scopeAll);
    EXPECT_EQ(list().selectedRow(), 2);
    EXPECT_EQ(console->currentRow(), 2);
    EXPECT_EQ(view.logger.dZeitEdit, "1.5");
    EXPECT_EQ(view.logger.zeilenEdit, "250");
    EXPECT_EQ(view.logger.logGroup, 1);
    EXPECT_TRUE(view.logger.sollCheck);
    EXPECT_EQ(view.mixers, (std::vector<std::string>{"Luft", "Argon"}));
    EXPECT_EQ(view.aboutShown, 1);
    EXPECT_EQ(view.aboutClosed, 1);
}

TEST_F(SettingsStartTest, FractionalLogIntervalRoundTripsWholeOnesStayIntegers) {
    start();
    for (auto [typed, stored] : {std::pair{"1,5", "1.5"}, {"5.0", "5"}, {"0.25", "0.25"}}) {
        view.logger.dZeitEdit = typed;
        console->saveState();
        EXPECT_EQ(IniFile(ini()).readString("Init", "dZeitEdit"), stored);
        EXPECT_EQ(console->settings().loggerSettings().dZeitEdit, stored);
    }
}

TEST_F(SettingsStartTest, StoredPortBeyondSixteenBitsIsRefusedNotWrapped) {
    writeText(ini(), "[Tesra]\nTcpIp=1\nIP=127.0.0.1\nPort=99533\n");
    console = std::make_unique<Console>(comm, view, ui, texts,
                                        ConsolePaths{ini(), dir.path(), dir.path()});
    console->FormShow(); // the default connection of the settings file
    ASSERT_FALSE(ui.messages.empty());
    EXPECT_NE(ui.messages[0].text.find("[Tesra] Port=99533 (0..65535)"), std::string::npos);
    ASSERT_NE(console->connection(), nullptr);
    EXPECT_FALSE(console->connection()->isOpen());
}

TEST_F(SettingsStartTest, SettingsFileThatCannotBeWrittenAtExitIsNamed) {
    const std::string missing = dir.path() + "/gone/GetKelo.ini";
    console = std::make_unique<Console>(comm, view, ui, texts,
                                        ConsolePaths{missing, dir.path(), dir.path()});
    console->setConnectionFactory([](TComm&) { return std::unique_ptr<TTesra>(); });
    console->FormShow();
    ui.messages.clear();
    console->BeendenMnuClick();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].text.find(missing), std::string::npos) << ui.messages[0].text;
    EXPECT_TRUE(view.ended);
}

TEST_F(SettingsStartTest, BadSettingsFilesNeverCrash) {
    const char* files[] = {
        "",
        "garbage without sections\n=\n[[[\n",
        "[Init]\ntesra_1=\ntesra_2=abc\n",
        "[Init]\ntesra_1=-5\ntesra_2=99999999999999999999999\nAktiv=-3\n",
        "[Programm]\nGraph_W=-100\nGraph_H=999999999999\n[Init]\nAktiv=1000\nLogGroup=77\n",
        "[Init]\nDauerBox=abc\nZeilenEdit=-1\ndZeitEdit=1e9\nMulti=yes\n",
        "\xff\xfe[Init]\r\ntesra_1=1\r\n\0\0\0",
        "[Init]\ntesra_1=1\ntesra_1=1\ntesra_2=1\n",
    };
    bus.addDevice(simDevice(Generation::Second, 1, 101));
    for (const char* content : files) {
        SCOPED_TRACE(content);
        writeText(ini(), content);
        FakeConsoleView v;
        ScriptedUi u;
        TComm c(clock);
        Console con(c, v, u, texts, ConsolePaths{ini(), dir.path(), dir.path()});
        con.setConnectionFactory([&](TComm& cc) {
            return std::make_unique<TTesra>(
                cc, cc.AttachTransport(std::make_unique<sim::SimTransport>(bus, clock)));
        });
        con.FormShow();
        for (int i = 0; i < 300 && con.scanning(); ++i)
            con.TimerTimer();
        EXPECT_EQ(con.devices().count(), 1);
        EXPECT_GE(v.graphW, 50);
        EXPECT_LE(v.graphW, 20000);
        EXPECT_GE(v.logger.logGroup, 0);
        EXPECT_LE(v.logger.logGroup, 2);
        con.TimerTimer();
        con.BeendenMnuClick();
    }
}

TEST(WindowsPaths, DriveDefaultsMapUnderHome) {
    ConsoleSettings s("/nonexistent/GetKelo.ini", "/opt/getkelo", "/home/op");
    EXPECT_EQ(s.dataBaseDir(), "/home/op/Device Data/");
    EXPECT_EQ(s.mapWindowsPath("C:\\Logs\\a"), "/home/op/Logs/a");
    EXPECT_EQ(s.mapWindowsPath("/var/x/"), "/var/x/");
    EXPECT_EQ(s.programDir(), "/opt/getkelo/");
}

} // namespace
} // namespace getkelo::test
