// The Register dialog and the bus monitor window on the demo bus (offscreen, virtual time).
// GETKELO_SCREENSHOT_DIR=<dir> also saves both windows.
#include "base/clock.h"
#include "comm/bus_monitor.h"
#include "comm/tcomm.h"
#include "comm/ttesra.h"
#include "console/forms/bus_monitor_model.h"
#include "console/forms/tbus_monitor.h"
#include "console/forms/tget_kelo_m.h"
#include "console/device_list.h"
#include "console/forms/tregister.h"
#include "shell/daily_access_code.h"
#include "sim/device_profiles.h"
#include "sim/fault_commands.h"
#include "sim/sim_bus.h"
#include "sim/sim_transport.h"
#include "ui/scripted_ui.h"

#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include <cstdlib>
#include <memory>

using namespace getkelo;

namespace {

const std::string kDataDir = GETKELO_DATA_DIR "/";

struct Bench {
    QTemporaryDir dir;
    VirtualClock clock;
    ScriptedUi ui;
    TComm comm{clock, &ui};
    sim::SimBus bus{clock};
    std::unique_ptr<TGetKeloM> window;

    Bench() {
        for (const auto& c : sim::demoBus())
            bus.addDevice(c);
        window =
            std::make_unique<TGetKeloM>(comm, ui,
                                        ConsolePaths{dir.path().toStdString() + "/GetKelo.ini",
                                                     kDataDir, dir.path().toStdString() + "/"});
        window->setEndProgram([] {});
        sim::SimBus* b = &bus;
        window->console().setConnectionFactory([b](TComm& c) {
            return std::make_unique<TTesra>(
                c, c.AttachTransport(std::make_unique<sim::SimTransport>(*b, c.clock())));
        });
    }
    void tick() {
        clock.sleepMs(100);
        window->console().TimerTimer();
        window->pollTimer()->stop();
    }
    void start() {
        window->FormShow();
        window->pollTimer()->stop();
    }
    // Start-up restores in ticks, then scans the empty list.
    void scan() {
        for (int i = 0; i < 300 && (!window->console().started() || window->console().scanning());
             ++i)
            tick();
        window->syncFromConsole();
    }
    std::string todaysCode() { return dailyAccessCode(localDateTime(clock.nowMs())); }
};

void saveShot(QWidget* w, const char* name) {
    QCoreApplication::processEvents(); // pending layout after a language change
    if (const char* dir = std::getenv("GETKELO_SCREENSHOT_DIR"))
        w->grab().save(QString(dir) + "/" + name);
}

} // namespace

class RegisterMonitorFormsTest : public QObject {
    Q_OBJECT
  private slots:
    void registerEntryAsksForTheCodeAndStopsPollingWhileTheDialogIsOpen();
    void hexBoxMovesTheValueFieldAndTheDefaultButtonFollowsTheFocus();
    void monitorShowsAScanWithABadCrcAndFiltersFailures();
};

void RegisterMonitorFormsTest::registerEntryAsksForTheCodeAndStopsPollingWhileTheDialogIsOpen() {
    Bench b;
    b.start();
    b.scan();
    QAction* entry = b.window->action("RegisterMnu");
    QVERIFY(entry->isEnabled()); // a device is selected
    TRegister* dlg = b.window->registerDialog();
    QVERIFY(dlg->windowFlags() & Qt::WindowStaysOnTopHint);

    b.ui.inputAnswers.push_back(std::string("wrong"));
    entry->trigger();
    QCOMPARE(b.ui.inputs.back().caption, std::string("Passwort"));
    QVERIFY(!dlg->isVisible());
    QVERIFY(b.window->pollTimer()->isActive());

    b.ui.inputAnswers.push_back(b.todaysCode());
    bool checked = false;
    QTimer::singleShot(0, dlg, [&] {
        checked = dlg->isVisible() && !b.window->pollTimer()->isActive();
        dlg->AdresseEdit->setText("1e");
        dlg->VarTypClick(4); // uint 32
        dlg->HexCheckClick(true);
        dlg->LesenBtnClick();
        saveShot(dlg, "register_dialog.png");
        dlg->accept();
    });
    b.window->pollTimer()->stop();
    entry->trigger();
    QVERIFY(checked);
    QCOMPARE(dlg->AdresseEdit->text(), QString("001E"));
    // The serial number of the selected device (the last one found), in hexadecimal.
    const DeviceList& list = b.window->console().devices();
    QCOMPARE(list.selectedRow(), 5);
    QCOMPARE(list.cell(5, kColSerial), std::string("21010005"));
    QCOMPARE(dlg->WertEdit->text(), QString("1409655"));
    QVERIFY(b.window->pollTimer()->isActive());
}

void RegisterMonitorFormsTest::hexBoxMovesTheValueFieldAndTheDefaultButtonFollowsTheFocus() {
    ScriptedUi ui;
    TRegister dlg(ui, [] { return nullptr; });
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    QVERIFY(dlg.varTypChoice->button(1)->isChecked()); // float 32
    QVERIFY(!dlg.HexCheck->isEnabled());
    QCOMPARE(dlg.WertEdit->geometry(), QRect(16, 94, 81, 22));

    auto choose = [&dlg](int type) {
        QAbstractButton* b = dlg.varTypChoice->button(type);
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(8, b->height() / 2));
    };
    choose(3); // uint 16
    QVERIFY(dlg.HexCheck->isEnabled());
    dlg.WertEdit->setText("99");
    QTest::mouseClick(dlg.HexCheck, Qt::LeftButton, {}, QPoint(8, dlg.HexCheck->height() / 2));
    QVERIFY(dlg.HexCheck->isChecked());
    QCOMPARE(dlg.WertEdit->geometry(), QRect(30, 94, 67, 22));
    QCOMPARE(dlg.WertEdit->text(), QString()); // cleared
    QVERIFY(dlg.wertPrefix->isVisible());
    choose(1); // back to float 32
    QVERIFY(!dlg.HexCheck->isChecked());
    QVERIFY(!dlg.HexCheck->isEnabled());
    QCOMPARE(dlg.WertEdit->geometry(), QRect(16, 94, 81, 22));

    dlg.WertEdit->setFocus();
    QVERIFY(dlg.SchreibenBtn->isDefault());
    QVERIFY(!dlg.LesenBtn->isDefault());
    dlg.AdresseEdit->setFocus();
    QVERIFY(dlg.LesenBtn->isDefault());
    // Enter in the address field reads (here: without a connection, "Fehler").
    QTest::keyClicks(dlg.AdresseEdit, "x2g3");
    QCOMPARE(dlg.AdresseEdit->text(), QString("23"));
    QTest::keyClick(dlg.AdresseEdit, Qt::Key_Return);
    QCOMPARE(dlg.WertEdit->text(), QString("Fehler"));
    QCOMPARE(dlg.AdresseEdit->text(), QString("0023"));
    QCOMPARE(dlg.AdresseEdit->selectedText(), QString("0023"));
    QCOMPARE(ui.beeps, 1);
}

void RegisterMonitorFormsTest::monitorShowsAScanWithABadCrcAndFiltersFailures() {
    Bench b;
    QCOMPARE(QString::fromStdString(sim::runFaultCommand(b.bus, "crc 3")), QString("ok crc 3"));
    TBusMonitor* mon = b.window->busMonitor();
    QVERIFY(b.comm.busObserver() == nullptr); // nothing recorded while closed
    b.window->action("BusMonitorMnu")->trigger();
    QVERIFY(mon->isVisible());
    QVERIFY(b.comm.busObserver() != nullptr);

    b.start(); // begins the scan of the bus
    b.window->setLanguage("English");
    QCOMPARE(b.window->action("BusMonitorMnu")->text(), QString("   Bus monitor"));
    for (int i = 0; i < 9; ++i)
        b.tick();
    mon->refresh();
    BusMonitorModel* model = mon->model();
    QVERIFY(model->rowCount() > 20);
    QStringList meanings;
    for (int r = 0; r < model->rowCount(); ++r)
        meanings << model->index(r, BusMonitorModel::Meaning).data().toString();
    const auto bad = meanings.filter("slave 3 answer 18 bytes, CRC bad: SerialNumber=");
    QVERIFY2(!bad.isEmpty(), qPrintable(meanings.join('\n')));
    const int badRow = static_cast<int>(meanings.indexOf(bad.first()));
    QCOMPARE(model->index(badRow, BusMonitorModel::Result).data().toString(),
             QString("bad answer, 0 ms"));
    QCOMPARE(
        model->headerData(BusMonitorModel::Meaning, Qt::Horizontal, Qt::DisplayRole).toString(),
        QString("Meaning"));
    mon->table->selectRow(badRow);
    mon->table->scrollTo(model->index(badRow, 0), QAbstractItemView::PositionAtCenter);
    QVERIFY(mon->details->toPlainText().contains(" -> bad answer, 0 ms"));
    saveShot(mon, "bus_monitor_scan_crc_fault.png");

    // Failures only, slave 3: the identity read with the bad CRC, and nothing else.
    mon->slaveFilter->setValue(3);
    mon->failuresOnly->setChecked(true);
    QCOMPARE(model->rowCount(), 2);
    QVERIFY(model->index(1, BusMonitorModel::Meaning).data().toString().contains("CRC bad"));
    QCOMPARE(model->index(1, BusMonitorModel::Meaning).data(Qt::ForegroundRole).value<QBrush>(),
             QBrush(Qt::darkRed));

    // Paused, nothing new comes in; closed, the device layer has no observer.
    mon->pauseButton->click();
    const int rows = mon->monitor().recorder()->ring().size();
    b.tick();
    QCOMPARE(int(mon->monitor().recorder()->ring().size()), rows);
    mon->close();
    QVERIFY(b.comm.busObserver() == nullptr);
}

QTEST_MAIN(RegisterMonitorFormsTest)
#include "register_monitor_forms_test.moc"
