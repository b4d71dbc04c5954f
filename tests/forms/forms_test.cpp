// Form tests on the offscreen platform: the main window on the simulated bus (virtual time),
// language switching, the connection dialog's texts and the progress window.
#include "form_bench.h"

#include "base/clock.h"
#include "base/ini_file.h"
#include "comm/tcomm.h"
#include "comm/ttesra.h"
#include "console/device_list.h"
#include "console/forms/com_port_probe.h"
#include "console/forms/device_list_model.h"
#include "console/forms/modbus_page.h"
#include "console/forms/tcomm_form.h"
#include "console/forms/tfrm_dir.h"
#include "console/forms/tget_kelo_m.h"
#include "shell/forms/tabout_box.h"
#include "shell/forms/tkontakt.h"
#include "shell/forms/tlng.h"
#include "sim/device_profiles.h"
#include "sim/sim_bus.h"
#include "sim/sim_transport.h"
#include "ui/qt/fbalken.h"
#include "ui/qt/help_window.h"
#include "ui/qt/qt_ui.h"
#include "ui/scripted_ui.h"

#include <QDir>
#include <QGroupBox>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>

#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <sys/file.h>
#include <unistd.h>

using namespace getkelo;

class FormsTest : public QObject {
    Q_OBJECT
  private slots:
    void switchingTheLanguageRelabelsMenusAndGridHeadersAtOnce();
    void missingLanguageFileGivesEmptyCaptionsWithoutCrash();
    void startUpScansTheDemoBusAndSelectingARowFillsTheModbusPage();
    void closingTheWindowWhileDevicesAreRestoredKeepsTheStoredState();
    void languageDialogOkTakesTheSelectionCancelKeepsIt();
    void connectionDialogTextsFollowTheFirstLetterOfTheLanguage();
    void connectionDialogLoadsAndSavesItsSection();
    void connectionDialogStoresTheChosenPortPathUnderItsComNumber();
    void systemPortsAreListedByTheirStableNamesOnce();
    void directoryDialogShowsStructureBoxOnlyWithProductionSection();
    void progressWindowFinishHoldsItsTextOneSecond();
    void portProbeListsOpenablePortsOnlyAndSkipsPortsInUse();
    void helpViewerShowsTheHelpDocument();
    void chooserFiltersInTheOlderFormAreConverted();
    void aboutBoxShowsTheProgramVersionAndKontaktTheContactFile();
    void gridModelRepaintsOnlyWhenTheListChanged();
    void pollingDoesNotTakeTheFocusFromTheSetpointEntry();
    void destroyingAShownWindowDoesNotTouchTheDestroyedConsole();
    void setpointFiftyIsFollowedAndAnUnpluggedBusEmptiesTheListUntilPluggedBack();
};

void FormsTest::switchingTheLanguageRelabelsMenusAndGridHeadersAtOnce() {
    Bench b;
    b.window->setLanguage("Deutsch");
    QCOMPARE(b.window->menu("DateiMnu")->title(), QString("Datei"));
    QCOMPARE(b.window->action("COMPort")->text(), QString("Anschluss"));
    QCOMPARE(b.window->action("InfoMnu")->text(), QString("   Info"));
    QCOMPARE(b.window->modbusPage()->CheckBus->text(), QString("Suche kel-o"));
    QCOMPARE(b.window->modbusPage()->SollOKBtn->text(), QString("Übernehmen"));
    QCOMPARE(b.header(kColAddress), QString("Adresse"));
    QCOMPARE(b.header(kColFlow), QString("Fluss"));
    QCOMPARE(b.header(kColLogMark), QString("L"));

    b.window->setLanguage("English");
    QCOMPARE(b.window->menu("DateiMnu")->title(), QString("File"));
    QCOMPARE(b.window->action("COMPort")->text(), QString("Connection"));
    QCOMPARE(b.window->modbusPage()->CheckBus->text(), QString("Search kel-o"));
    QCOMPARE(b.window->modbusPage()->SollNull->text(), QString("All setpoints 0"));
    QCOMPARE(b.header(kColAddress), QString("Address"));
    QCOMPARE(b.header(kColGas), QString("Gas"));
    QCOMPARE(b.header(kColRange), QString("Range"));
    QCOMPARE(b.header(kColMixMark), QString("M"));
    // Tab captions of pages named by a key follow too.
    QTabWidget* tabs = b.window->pages();
    QCOMPARE(tabs->tabText(tabs->indexOf(b.window->page(ConsolePage::Logger))),
             QString("Data logger"));
    QCOMPARE(b.window->texts().messages().text("SetAdr"), std::string("Set address"));
}

void FormsTest::missingLanguageFileGivesEmptyCaptionsWithoutCrash() {
    QTemporaryDir empty;
    Bench b(empty.path().toStdString() + "/");
    b.window->setLanguage("Deutsch");
    QCOMPARE(b.window->menu("DateiMnu")->title(), QString());
    QCOMPARE(b.window->modbusPage()->CheckBus->text(), QString());
    QCOMPARE(b.window->action("InfoMnu")->text(), QString("   "));
    QCOMPARE(b.header(kColAddress), QString());
    QCOMPARE(b.window->texts().messages().text("NoKelo"), std::string());
    // Help opens the help document of the current language in the program directory.
    b.window->action("HilfeM")->trigger();
    QCOMPARE(int(b.ui.helpOpened.size()), 1);
    QCOMPARE(QString::fromStdString(b.ui.helpOpened[0]), empty.path() + "/Deutsch.hlp");
}

void FormsTest::startUpScansTheDemoBusAndSelectingARowFillsTheModbusPage() {
    Bench b;
    // Before any device: one firmware-update entry, not two of the same name.
    QVERIFY(!b.window->action("UpdateEmptyMnu")->isVisible());
    b.startAndScan();
    QCOMPARE(b.window->gridModel()->rowCount(), 5);
    QCOMPARE(b.header(kColAddress), QString("Adresse"));
    for (int r = 0; r < 5; ++r)
        QCOMPARE(b.window->gridModel()->index(r, kColAddress).data().toString(),
                 QString::number(r + 1));
    QVERIFY(!b.window->modbusPage()->CheckBus->isChecked());
    QVERIFY(b.window->modbusPage()->SetEdit->isEnabled());

    // A click on the second row selects that device and fills the version fields.
    const QModelIndex second = b.window->gridModel()->index(1, 0);
    b.window->grid()->scrollTo(second);
    QTest::mouseClick(b.window->grid()->viewport(), Qt::LeftButton, {},
                      b.window->grid()->visualRect(second).center());
    QCOMPARE(b.window->console().devices().selectedRow(), 2);
    QVERIFY(!b.window->modbusPage()->softwareVersion->text().isEmpty());
    QCOMPARE(b.window->grid()->selectionModel()->currentIndex().row(), 1);

    // A poll repaints the cells without moving the selection.
    b.window->console().TimerTimer();
    b.window->syncFromConsole();
    QCOMPARE(b.window->grid()->selectionModel()->currentIndex().row(), 1);
    QVERIFY(!b.window->modbusPage()->flowField->text().isEmpty());
}

// The operator's road on the demo bus: device 1, setpoint 50, the flow follows; the bus is
// pulled: the devices fail four ticks each and leave, a scan starts; plugged back, the scan
// finds them again. GETKELO_SCREENSHOT_DIR=<dir> also saves the live Modbus page.
void FormsTest::setpointFiftyIsFollowedAndAnUnpluggedBusEmptiesTheListUntilPluggedBack() {
    Bench b;
    b.window->resize(1040, 640);
    b.window->show();
    b.startAndScan();
    QCOMPARE(b.window->console().devices().count(), 5);
    auto tick = [&b] {
        b.clock.sleepMs(100); // the timer's interval
        b.window->console().TimerTimer();
        b.window->pollTimer()->stop();
        b.window->syncFromConsole();
    };
    const QModelIndex first = b.window->gridModel()->index(0, 0);
    QTest::mouseClick(b.window->grid()->viewport(), Qt::LeftButton, {},
                      b.window->grid()->visualRect(first).center());
    b.window->pollTimer()->stop();
    QCOMPARE(b.window->console().devices().selectedRow(), 1);
    ModbusPage* page = b.window->modbusPage();
    page->setpointEdit->setText("50");
    QTest::mouseClick(page->SollOKBtn, Qt::LeftButton);
    b.window->pollTimer()->stop();
    for (int i = 0; i < 30; ++i) // about five seconds of bus time
        tick();
    const double flow = page->flowField->text().toDouble();
    QVERIFY2(flow > 47 && flow < 53, qPrintable(page->flowField->text()));
    QCOMPARE(b.window->console().devices().cell(1, kColFlow),
             page->flowField->text().toStdString());
    if (const char* shots = std::getenv("GETKELO_SCREENSHOT_DIR"))
        b.window->grab().save(QString(shots) + "/modbus_page_live.png");

    b.bus.setUnplugged(true);
    for (int i = 0; i < 5 * 4 + 2 && b.window->console().devices().count() > 0; ++i)
        tick();
    QCOMPARE(b.window->console().devices().count(), 0);
    tick();
    QVERIFY(b.window->console().scanning());
    QVERIFY(page->CheckBus->isChecked());

    // Plugged back while that scan runs: the operator ends it and scans again.
    b.bus.setUnplugged(false);
    QTest::mouseClick(page->CheckBus, Qt::LeftButton);
    QVERIFY(!b.window->console().scanning());
    QTest::mouseClick(page->CheckBus, Qt::LeftButton);
    QVERIFY(b.window->console().scanning());
    for (int i = 0; i < 260 && b.window->console().scanning(); ++i)
        tick();
    QCOMPARE(b.window->console().devices().count(), 5);
}

// The desktop program finds the stored devices one per tick; the record button and the exit
// before the last one is back must not cut the file down to what was found so far.
void FormsTest::closingTheWindowWhileDevicesAreRestoredKeepsTheStoredState() {
    Bench b;
    {
        IniFile ini(b.iniPath());
        IniFile::Batch batch(ini);
        for (int n = 1; n <= 3; ++n)
            ini.writeInteger("Init", "tesra_" + std::to_string(n), n);
        ini.writeInteger("Init", "tesraLog_2", 1);
        ini.writeInteger("Init", "Multi", 1);
        ini.writeInteger("Init", "Log", 1);
        ini.writeInteger("Init", "Aktiv", 3);
        ini.writeString("Init", "dZeitEdit", "5");
    }
    b.window->FormShow();
    b.window->pollTimer()->stop();
    b.window->console().TimerTimer(); // the first stored device is back
    b.window->pollTimer()->stop();
    QVERIFY(!b.window->console().started());
    QCOMPARE(b.window->console().devices().count(), 1);
    auto check = [&b] {
        IniFile ini(b.iniPath());
        QCOMPARE(ini.readInteger("Init", "Multi"), 1LL);
        QCOMPARE(ini.readInteger("Init", "Log"), 1LL);
        QCOMPARE(ini.readString("Init", "dZeitEdit"), std::string("5"));
        QCOMPARE(ini.readInteger("Init", "Aktiv"), 3LL);
        for (int n = 1; n <= 3; ++n)
            QCOMPARE(ini.readInteger("Init", "tesra_" + std::to_string(n)), (long long)n);
        QCOMPARE(ini.readInteger("Init", "tesraLog_2"), 1LL);
    };
    auto* record = b.window->findChild<QPushButton*>("LogBtn");
    QVERIFY(record);
    QTest::mouseClick(record, Qt::LeftButton); // starting the logger saves the state
    check();
    b.window->setLanguage("English");
    b.window->close(); // the exit routine
    QVERIFY(b.ended);
    QVERIFY(!b.window->timerActive());
    check();
    QCOMPARE(IniFile(b.iniPath()).readString("Programm", "Sprache"), std::string("English"));
}

void FormsTest::languageDialogOkTakesTheSelectionCancelKeepsIt() {
    TLng dlg;
    dlg.fill(kDataDir, "Deutsch");
    QCOMPARE(dlg.languageBox()->count(), 2);
    QCOMPARE(dlg.selectedName(), std::string("Deutsch"));
    QVERIFY(!dlg.languageBox()->itemIcon(0).isNull()); // flag image

    QTimer::singleShot(0, &dlg, [&] {
        dlg.languageBox()->setCurrentIndex(dlg.languageBox()->findText("English"));
        dlg.okButton()->click();
    });
    QCOMPARE(dlg.ChooseLanguage(kDataDir, "Deutsch"), std::string("English"));

    QTimer::singleShot(0, &dlg, [&] {
        dlg.languageBox()->setCurrentIndex(dlg.languageBox()->findText("English"));
        dlg.cancelButton()->click();
    });
    QCOMPARE(dlg.ChooseLanguage(kDataDir, "Deutsch"), std::string("Deutsch"));
}

void FormsTest::connectionDialogTextsFollowTheFirstLetterOfTheLanguage() {
    struct Case {
        const char* language;
        const char* caption;
        const char* group;
        const char* device;
    } cases[] = {
        {"Deutsch", "Einstellungen", "Schnittstelle", "Gerät"},
        {"Francais", "Etalonge", "Liason serielle", "Device"},
        {"English", "Change properties", "Com Port", "Device"},
        {"Italiano", "Change properties", "Com Port", "Device"},
        {"", "Change properties", "Com Port", "Device"},
        {"deutsch", "Change properties", "Com Port", "Device"}, // the letter is case-sensitive
    };
    VirtualClock clock;
    TComm comm(clock);
    TCommForm form(comm);
    form.setPortProbe([] { return std::vector<ComPortEntry>{}; });
    for (const auto& c : cases) {
        comm.LanguageName = c.language;
        form.FormActivate();
        QCOMPARE(form.windowTitle(), QString::fromUtf8(c.caption));
        QCOMPARE(form.portGroup()->title(), QString::fromUtf8(c.group));
        QCOMPARE(form.deviceLabel()->text(), QString::fromUtf8(c.device));
        QCOMPARE(form.baudLabel()->text(), QString("Baudrate"));
    }
}

void FormsTest::connectionDialogLoadsAndSavesItsSection() {
    QTemporaryDir dir;
    const std::string ini = dir.path().toStdString() + "/GetKelo.ini";
    {
        IniFile f(ini);
        f.writeInteger("Tesra", "Com", 3);
        f.writeBool("Tesra", "TcpIp", false);
        f.writeString("Tesra", "IP", "192.168.1.20");
        f.writeInteger("Tesra", "Port", 502);
    }
    VirtualClock clock;
    TComm comm(clock);
    comm.IniPath = ini;
    comm.KnownSections = {"Tesra"};
    TCommForm form(comm);
    form.setPortProbe([] {
        return std::vector<ComPortEntry>{{1, "/dev/ttyS0", "RS-232"}, {3, "/dev/ttyS2", ""}};
    });
    form.FormActivate();
    QCOMPARE(form.deviceBox()->currentText(), QString("Tesra"));
    QCOMPARE(form.portList()->currentItem()->text(), QString("COM3  Typ ?"));
    QCOMPARE(form.baudBox()->currentText(), QString("9600"));
    QVERIFY(!form.baudBox()->isEnabled());
    QCOMPARE(form.octet(0)->text(), QString("192"));
    QCOMPARE(form.octet(3)->text(), QString("20"));
    QVERIFY(!form.octet(0)->isEnabled()); // "Lokal PC": the address fields are off
    QVERIFY(form.portList()->isEnabled());

    form.connectionBox()->setCurrentIndex(1); // "TCP/IP"
    QVERIFY(form.octet(0)->isEnabled());
    QVERIFY(form.tcpPortEdit()->isEnabled());
    QVERIFY(!form.portList()->isEnabled());
    form.octet(3)->setText("21");
    form.tcpPortEdit()->setText("4001");
    form.portList()->setCurrentRow(0);
    form.save();
    IniFile f(ini);
    QVERIFY(f.readBool("Tesra", "TcpIp"));
    QCOMPARE(QString::fromStdString(f.readString("Tesra", "IP")), QString("192.168.1.21"));
    QCOMPARE(f.readInteger("Tesra", "Port"), 4001LL);
    QCOMPARE(f.readInteger("Tesra", "Com"), 1LL);
}

void FormsTest::directoryDialogShowsStructureBoxOnlyWithProductionSection() {
    QTemporaryDir dir;
    const std::string ini = dir.path().toStdString() + "/GetKelo.ini";
    ConsoleSettings settings(ini, kDataDir, dir.path().toStdString() + "/");
    settings.workDir = "/tmp/logs/";
    ScriptedUi ui;
    ui.chooserAnswers = {std::string("/srv/update")};
    TfrmDir dlg(settings, ui);
    dlg.fill();
    QCOMPARE(dlg.field(0)->text(), QString("/tmp/logs/"));
    QVERIFY(dlg.newStructureBox()->isHidden());
    dlg.browse(1);
    QCOMPARE(settings.updateDir, std::string("/srv/update/")); // at once, with its "/"
    dlg.btnSaveClick();
    IniFile f(ini);
    QCOMPARE(QString::fromStdString(f.readString("Programm", "UpdateVerzeichnis")),
             QString("/srv/update/"));
    QCOMPARE(QString::fromStdString(f.readString("Programm", "Verzeichnis")),
             QString("/tmp/logs/"));
    f.writeString("Produktion", "Produktion", "x");
    dlg.fill();
    QVERIFY(!dlg.newStructureBox()->isHidden());
}

void FormsTest::progressWindowFinishHoldsItsTextOneSecond() {
    FBalken balken;
    balken.start("EEPROM", "Lese...");
    QCOMPARE(balken.maximum(), 43);
    balken.setPosition(20);
    QCOMPARE(balken.position(), 20);
    balken.setPosition(99); // clamped to the bar
    QCOMPARE(balken.position(), 43);
    balken.finish("Fertig");
    QVERIFY(balken.isVisible());
    QCOMPARE(balken.labelText(), QString("Fertig"));
    QVERIFY(balken.finishing());
    QVERIFY(balken.finishRemainingMs() > 900);
    QTest::qWait(800);
    QVERIFY(balken.isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(!balken.isVisible(), 600);

    // A new transfer that starts while the last one finishes keeps the window open.
    balken.start("A", "a");
    balken.finish("done");
    balken.start("B", "b");
    QVERIFY(!balken.finishing());
    QCOMPARE(balken.position(), 0);
}

void FormsTest::connectionDialogStoresTheChosenPortPathUnderItsComNumber() {
    QTemporaryDir dir;
    const std::string ini = dir.path().toStdString() + "/GetKelo.ini";
    IniFile(ini).writeInteger("Tesra", "Com", 3);
    VirtualClock clock;
    TComm comm(clock);
    comm.IniPath = ini;
    comm.KnownSections = {"Tesra"};
    TCommForm form(comm);
    const std::string adapter = "/dev/serial/by-id/usb-Maker_Adapter-if00-port0";
    form.setPortProbe([&] {
        return std::vector<ComPortEntry>{{1, "/dev/ttyS0", "RS-232"}, {0, adapter, "RS-232"}};
    });
    form.FormActivate();
    QCOMPARE(form.portList()->item(1)->text(), QString::fromStdString(adapter + "  RS-232"));
    QCOMPARE(form.pathEdit()->text(), QString("/dev/ttyS2")); // COM3's path, not listed now
    form.portList()->setCurrentRow(1);
    QCOMPARE(form.pathEdit()->text(), QString::fromStdString(adapter));
    form.save();
    QCOMPARE(IniFile(ini).readInteger("Tesra", "Com"), 3LL);
    QCOMPARE(IniFile(ini).readString("Tesra", "ComPath_3"), adapter);
    QCOMPARE(comm.ComPortPath(3), adapter);
    // Shown again, the adapter is the chosen entry.
    form.FormActivate();
    QCOMPARE(form.portList()->currentRow(), 1);
    // A COM entry keeps its own path; a path typed in goes to that COM number.
    form.portList()->setCurrentRow(0);
    form.pathEdit()->setText("/tmp/gk-pty");
    form.save();
    QCOMPARE(IniFile(ini).readInteger("Tesra", "Com"), 1LL);
    QCOMPARE(IniFile(ini).readString("Tesra", "ComPath_1"), std::string("/tmp/gk-pty"));
}

void FormsTest::systemPortsAreListedByTheirStableNamesOnce() {
    int master = posix_openpt(O_RDWR | O_NOCTTY);
    QVERIFY(master >= 0);
    QVERIFY(grantpt(master) == 0 && unlockpt(master) == 0);
    const std::string pts = ptsname(master);
    QTemporaryDir dev;
    const std::string d = dev.path().toStdString();
    QVERIFY(QDir().mkpath(QString::fromStdString(d + "/serial/by-id")));
    const std::string byId = d + "/serial/by-id/usb-Maker_Adapter-if00-port0";
    QVERIFY(::symlink(pts.c_str(), (d + "/ttyUSB0").c_str()) == 0);
    QVERIFY(::symlink(pts.c_str(), byId.c_str()) == 0);
    QVERIFY(::symlink(pts.c_str(), (d + "/ttyS3").c_str()) == 0); // no UART behind it
    const auto ports = systemSerialPorts(d);
    QCOMPARE(ports, std::vector<std::string>{byId}); // ttyUSB0 is the same port
    auto none = [](int n) { return "/nonexistent/ttyGK" + std::to_string(n); };
    const auto entries = probeComPorts(none, ports);
    QCOMPARE(int(entries.size()), 1);
    QCOMPARE(entries[0].number, 0);
    QCOMPARE(QString::fromStdString(comPortEntryText(entries[0], "Type ?")),
             QString::fromStdString(byId + "  Type ?"));
    // A COM number that names the port already lists it; the path is not listed twice.
    QCOMPARE(int(probeComPorts([&](int n) { return n == 4 ? byId : none(n); }, ports).size()), 1);
    ::close(master);
}

void FormsTest::portProbeListsOpenablePortsOnlyAndSkipsPortsInUse() {
    int master = posix_openpt(O_RDWR | O_NOCTTY);
    QVERIFY(master >= 0);
    QVERIFY(grantpt(master) == 0 && unlockpt(master) == 0);
    const std::string pts = ptsname(master);
    auto pathOf = [&](int n) { return n == 2 ? pts : "/nonexistent/ttyGK" + std::to_string(n); };
    auto entries = probeComPorts(pathOf);
    QCOMPARE(int(entries.size()), 1);
    QCOMPARE(entries[0].number, 2);
    QCOMPARE(QString::fromStdString(comPortEntryText(entries[0], "Typ ?")),
             QString("COM2  Typ ?")); // a pty is no UART

    // Another program holding the port: not listed.
    int holder = ::open(pts.c_str(), O_RDWR | O_NOCTTY);
    QVERIFY(holder >= 0);
    QVERIFY(flock(holder, LOCK_EX | LOCK_NB) == 0);
    QVERIFY(probeComPorts(pathOf).empty());
    ::close(holder);
    QCOMPARE(int(probeComPorts(pathOf).size()), 1);
    ::close(master);
}

void FormsTest::helpViewerShowsTheHelpDocument() {
    HelpWindow help;
    QVERIFY(help.openDocument(QString::fromStdString(kDataDir + "Deutsch.hlp")));
    QCOMPARE(help.windowTitle(), QString("GetKelo Hilfe"));
    QVERIFY(help.browser()->toPlainText().contains("Suche kel-o"));
    QVERIFY(!help.openDocument("/nonexistent/Deutsch.hlp"));
    help.close();
}

void FormsTest::chooserFiltersInTheOlderFormAreConverted() {
    QCOMPARE(QtUi::qtFilter("Setup|*.ini|Alle|*"), QString("Setup (*.ini);;Alle (*)"));
    QCOMPARE(QtUi::qtFilter("Daten|*.dat;*.txt"), QString("Daten (*.dat *.txt)"));
    QCOMPARE(QtUi::qtFilter("Logs (*.log)"), QString("Logs (*.log)"));
}

void FormsTest::aboutBoxShowsTheProgramVersionAndKontaktTheContactFile() {
    QCOMPARE(TAboutBox::versionText(), QString(GETKELO_VERSION));
    TKontakt kontakt;
    kontakt.load(kDataDir);
    QVERIFY(kontakt.shownText().contains("GetKelo Service"));
    QVERIFY(kontakt.shownText().contains("mailto:"));
}

void FormsTest::gridModelRepaintsOnlyWhenTheListChanged() {
    DeviceList list;
    DeviceListModel model(list);
    int inserted = 0, removed = 0, changed = 0;
    connect(&model, &QAbstractItemModel::rowsInserted, [&] { ++inserted; });
    connect(&model, &QAbstractItemModel::rowsRemoved, [&] { ++removed; });
    connect(&model, &QAbstractItemModel::dataChanged, [&] { ++changed; });
    QVERIFY(!model.refresh()); // nothing happened: no repaint at all
    list.appendRow();
    list.appendRow();
    list.setCell(1, kColAddress, "7");
    QVERIFY(model.refresh());
    QCOMPARE(model.rowCount(), 2);
    QCOMPARE(inserted, 1);
    QCOMPARE(model.index(0, kColAddress).data().toString(), QString("7"));
    QCOMPARE(model.index(0, kColDegrees).data().toString(), QString("°C"));
    QVERIFY(!model.refresh());
    const int before = changed;
    list.setCell(2, kColFlow, "1.5");
    QVERIFY(model.refresh());
    QCOMPARE(changed, before + 1);
    QCOMPARE(inserted, 1);
    list.removeRow(1);
    QVERIFY(model.refresh());
    QCOMPARE(removed, 1);
    QCOMPARE(model.rowCount(), 1);
    QCOMPARE(model.index(0, kColFlow).data().toString(), QString("1.5"));
}

void FormsTest::pollingDoesNotTakeTheFocusFromTheSetpointEntry() {
    Bench b;
    b.startAndScan();
    b.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(b.window.get()));
    b.window->activateWindow();
    b.window->console().selectRow(1); // a controller: its setpoint entry is enabled
    b.window->pollTimer()->stop();
    QLineEdit* entry = b.window->modbusPage()->setpointEdit;
    entry->setFocus();
    QTRY_VERIFY_WITH_TIMEOUT(entry->hasFocus(), 500);
    entry->setText("12,5");
    for (int i = 0; i < 3; ++i) {
        b.window->console().TimerTimer();
        b.window->syncFromConsole();
    }
    QVERIFY(entry->hasFocus());
    QCOMPARE(entry->text(), QString("12,5")); // polling leaves a focused entry alone
    b.window->pollTimer()->stop();
}

// The window is destroyed after the event loop ends, with the device list gone first; focus
// changes and repaints on the way out once read the freed list.
void FormsTest::destroyingAShownWindowDoesNotTouchTheDestroyedConsole() {
    Bench b;
    b.startAndScan();
    b.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(b.window.get()));
    b.window->activateWindow();
    b.window->modbusPage()->singleDevice->setFocus();
    QTest::qWait(10);
    b.window.reset();
    QVERIFY(!b.window);
}

QTEST_MAIN(FormsTest)
#include "forms_test.moc"
