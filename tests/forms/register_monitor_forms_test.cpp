// The Register dialog and the bus monitor window on the demo bus (offscreen, virtual time).
// GETKELO_SCREENSHOT_DIR=<dir> also saves both windows.
#include "base/clock.h"
#include "comm/bus_monitor.h"
#include "comm/tcomm.h"
#include "comm/ttesra.h"
#include "console/device_list.h"
#include "console/forms/bus_monitor_model.h"
#include "console/forms/tbus_monitor.h"
#include "console/forms/tget_kelo_m.h"
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

void checkOpenDialog(Bench& b, TRegister* dlg, bool& checked);

class RegisterMonitorFormsTest : public QObject {
    Q_OBJECT
  private slots:
    void registerDialogOpensAfterTheCodeWithPollingStopped();
    void monitorShowsAScanWithABadCrcAndFiltersFailures();
};

void RegisterMonitorFormsTest::registerDialogOpensAfterTheCodeWithPollingStopped() {
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
    // A failed check ends the inner lambda; the dialog is closed all the same.
    QTimer::singleShot(0, dlg, [&] {
        [&] { checkOpenDialog(b, dlg, checked); }();
        dlg->accept();
    });
    b.window->pollTimer()->stop();
    entry->trigger();
    QVERIFY(checked);
    QVERIFY(b.window->pollTimer()->isActive());
}

void checkOpenDialog(Bench& b, TRegister* dlg, bool& checked) {
    auto choose = [dlg](int type) {
        QAbstractButton* r = dlg->varTypChoice->button(type);
        QTest::mouseClick(r, Qt::LeftButton, {}, QPoint(8, r->height() / 2));
    };
    QVERIFY(dlg->isVisible() && !b.window->pollTimer()->isActive());
    dlg->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(dlg));
    QVERIFY(dlg->varTypChoice->button(1)->isChecked() && !dlg->HexCheck->isEnabled());
    QCOMPARE(dlg->WertEdit->geometry(), QRect(16, 94, 81, 22));
    choose(4); // uint 32
    QTest::mouseClick(dlg->HexCheck, Qt::LeftButton, {}, QPoint(8, dlg->HexCheck->height() / 2));
    QCOMPARE(dlg->WertEdit->geometry(), QRect(30, 94, 67, 22)); // beside its "0x"
    dlg->WertEdit->setFocus();
    QVERIFY(dlg->SchreibenBtn->isDefault() && !dlg->LesenBtn->isDefault());
    dlg->AdresseEdit->setFocus();
    QVERIFY(dlg->LesenBtn->isDefault());
    QTest::keyClicks(dlg->AdresseEdit, "1xe");
    QCOMPARE(dlg->AdresseEdit->text(), QString("1E"));
    QTest::keyClick(dlg->AdresseEdit, Qt::Key_Return); // Enter in the address field reads
    QCOMPARE(dlg->AdresseEdit->selectedText(), QString("001E"));
    saveShot(dlg, "register_dialog.png");
    // The serial number of the selected device (the last one found), in hexadecimal.
    QCOMPARE(b.window->console().devices().cell(5, kColSerial), std::string("21010005"));
    QCOMPARE(dlg->WertEdit->text(), QString("1409655"));
    choose(1); // float 32: the box goes off and the field covers the "0x" again
    QVERIFY(!dlg->HexCheck->isChecked() && !dlg->HexCheck->isEnabled());
    QCOMPARE(dlg->WertEdit->geometry(), QRect(16, 94, 81, 22));
    checked = true;
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
    QStringList meanings;
    for (int r = 0; r < model->rowCount(); ++r)
        meanings << model->index(r, BusMonitorModel::Meaning).data().toString();
    const auto bad = meanings.filter("slave 3 answer 18 bytes, CRC bad: SerialNumber=");
    QVERIFY2(!bad.isEmpty(), qPrintable(meanings.join('\n')));
    const int badRow = static_cast<int>(meanings.indexOf(bad.first()));
    QCOMPARE(model->index(badRow, BusMonitorModel::Result).data().toString(),
             QString("bad answer, 0 ms"));
    mon->table->selectRow(badRow);
    mon->table->scrollTo(model->index(badRow, 0), QAbstractItemView::PositionAtCenter);
    QVERIFY(mon->details->toPlainText().contains(" -> bad answer, 0 ms"));
    saveShot(mon, "bus_monitor_scan_crc_fault.png");

    // Failures only, slave 3: the identity read with the bad CRC, and nothing else.
    mon->slaveFilter->setValue(3);
    mon->failuresOnly->setChecked(true);
    QCOMPARE(model->rowCount(), 2);
    QCOMPARE(model->index(1, BusMonitorModel::Meaning).data(Qt::ForegroundRole).value<QBrush>(),
             QBrush(Qt::darkRed));
    mon->close();
    QVERIFY(b.comm.busObserver() == nullptr);
}

QTEST_MAIN(RegisterMonitorFormsTest)
#include "register_monitor_forms_test.moc"
