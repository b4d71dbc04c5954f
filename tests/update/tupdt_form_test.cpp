// The dialog "Software Update" from the main window's menu on the demo bus (virtual time):
// device 1 is updated from a test firmware file and shows its new version in the rebuilt
// list. GETKELO_SCREENSHOT_DIR=<dir> also saves a picture of the dialog after the update.
#include "base/clock.h"
#include "base/date_time.h"
#include "base/ini_file.h"
#include "comm/tcomm.h"
#include "comm/ttesra.h"
#include "console/device_list.h"
#include "console/forms/tget_kelo_m.h"
#include "shell/daily_access_code.h"
#include "sim/bootloader.h"
#include "sim/device_profiles.h"
#include "sim/sim_bus.h"
#include "sim/sim_registers.h"
#include "sim/sim_transport.h"
#include "ui/scripted_ui.h"
#include "update/forms/tupdt.h"
#include "update/update_menus.h"

#include <QAction>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <functional>

using namespace getkelo;

namespace {

struct Bench {
    QTemporaryDir dir;
    VirtualClock clock;
    ScriptedUi ui;
    TComm comm{clock, &ui};
    sim::SimBus bus{clock};
    std::unique_ptr<TGetKeloM> window;

    explicit Bench(bool withFirmware) {
        for (const auto& c : sim::demoBus())
            bus.addDevice(c);
        const std::string folder = dir.path().toStdString() + "/SWUpdate/";
        std::filesystem::create_directories(folder);
        if (withFirmware) {
            auto image = sim::makeTestFirmware(sim::versionWord("4.4.00"), 9000);
            std::ofstream(folder + "Tesra_4.4.00.rfw", std::ios::binary)
                .write(reinterpret_cast<const char*>(image.data()), std::streamsize(image.size()));
        }
        IniFile(ini()).writeString("Programm", "UpdateVerzeichnis", folder);
        window = std::make_unique<TGetKeloM>(
            comm, ui, ConsolePaths{ini(), GETKELO_DATA_DIR "/", dir.path().toStdString() + "/"});
        sim::SimBus* b = &bus;
        window->console().setConnectionFactory([b](TComm& c) {
            return std::make_unique<TTesra>(
                c, c.AttachTransport(std::make_unique<sim::SimTransport>(*b, c.clock())));
        });
        window->updateLink().setChannelFactory([b](TComm& c) {
            return c.AttachTransport(std::make_unique<sim::SimTransport>(*b, c.clock()));
        });
        window->FormShow();
        window->pollTimer()->stop();
        for (int i = 0; i < 300 && (!window->console().started() || window->console().scanning());
             ++i) {
            window->console().TimerTimer();
            window->pollTimer()->stop();
        }
        window->console().selectRow(1);
        ui.inputAnswers.push_back(dailyAccessCode(localDateTime(clock.nowMs())));
    }
    std::string ini() const { return dir.path().toStdString() + "/GetKelo.ini"; }
    // Runs `whileOpen` once the modal dialog shows, then closes it.
    void withDialog(const std::function<void(TUpdt&)>& whileOpen) {
        QTimer::singleShot(0, window.get(), [this, whileOpen] {
            TUpdt* d = window->updateForm();
            whileOpen(*d);
            d->btnCloseClick();
        });
        window->action("UpdateMnu")->trigger();
    }
};

} // namespace

class TUpdtTest : public QObject {
    Q_OBJECT
  private slots:
    void expressUpdateOfDevice1ShowsTheNewVersionInTheRebuiltList();
    void folderWithoutFirmwareDisablesBothUpdateButtons();
    void wrongAccessCodeShowsNoDialog();
};

void TUpdtTest::expressUpdateOfDevice1ShowsTheNewVersionInTheRebuiltList() {
    Bench b(true);
    const int before = b.window->console().devices().count();
    QVERIFY(b.window->action("UpdateMnu")->isEnabled());
    bool updated = false;
    b.withDialog([&](TUpdt& d) {
        QCOMPARE(d.findChild<QLabel*>() != nullptr, true);
        QVERIFY(d.expressUpdate()->isEnabled());
        QTest::mouseClick(d.expressUpdate(), Qt::LeftButton);
        updated = d.statusMemo()->toPlainText().endsWith("Update beendet");
        QVERIFY(d.closeButton()->isEnabled());
        if (const char* shots = std::getenv("GETKELO_SCREENSHOT_DIR"))
            d.grab().save(QString(shots) + "/tupdt_after_update.png");
    });
    QVERIFY(updated);
    const DeviceList& list = b.window->console().devices();
    QCOMPARE(list.count(), before);
    QCOMPARE(list.record(1).address, 1);
    QCOMPARE(QString::fromStdString(list.record(1).softwareVersion), QString("4.4.00"));
    QVERIFY(b.window->console().connection() != nullptr);
    QVERIFY(b.window->timerActive());
}

void TUpdtTest::folderWithoutFirmwareDisablesBothUpdateButtons() {
    Bench b(false);
    b.withDialog([](TUpdt& d) {
        QVERIFY(!d.expressUpdate()->isEnabled());
        QVERIFY(!d.expertUpdate()->isEnabled());
        QVERIFY(d.findChild<QLabel*>() != nullptr);
        bool shown = false;
        for (QLabel* l : d.findChildren<QLabel*>())
            shown = shown || l->text() == "Keine Firmware gefunden!";
        QVERIFY(shown);
    });
}

void TUpdtTest::wrongAccessCodeShowsNoDialog() {
    Bench b(true);
    b.ui.inputAnswers.clear();
    b.ui.inputAnswers.push_back(std::string("xxxxx"));
    b.window->action("UpdateMnu")->trigger(); // would block if the dialog showed
    QVERIFY(!b.window->updateForm()->isVisible());
    QVERIFY(b.window->timerActive());
    QCOMPARE(b.bus.device(1)->get(sim::reg::kSoftwareVersion), std::to_string(0x043F));
}

QTEST_MAIN(TUpdtTest)
#include "tupdt_form_test.moc"
