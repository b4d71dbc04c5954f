// The screenshots of docs/screenshots: the main window in English on every page, the scan's
// progress window, the connection dialog listing a pseudo-terminal and the logger while it
// records. GETKELO_SCREENSHOT_DIR=<dir> saves them; without it the scenes only run.
#include "form_bench.h"

#include "base/ini_file.h"
#include "console/forms/console_page.h"
#include "console/forms/logger_page.h"
#include "console/forms/mixer_page.h"
#include "console/forms/modbus_page.h"
#include "console/forms/tcomm_form.h"
#include "ui/qt/fbalken.h"

#include <QTabWidget>
#include <QTest>

#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace {

void save(QWidget* w, const QString& name) {
    const char* dir = std::getenv("GETKELO_SCREENSHOT_DIR");
    QCoreApplication::processEvents();
    QPixmap shot = w->grab();
    QVERIFY(!shot.isNull());
    if (dir) QVERIFY(shot.save(QString(dir) + "/" + name));
}

void tick(Bench& b, int n = 1) {
    for (int i = 0; i < n; ++i) {
        b.clock.sleepMs(100);
        b.window->console().TimerTimer();
        b.window->pollTimer()->stop();
        b.window->syncFromConsole();
    }
}

} // namespace

class ScreenshotsTest : public QObject {
    Q_OBJECT
  private slots:
    void mainWindowInEnglishOnEveryPage();
    void scanProgressWindow();
    void connectionDialogListsAPseudoTerminal();
    void loggerWhileRecording();
};

void ScreenshotsTest::mainWindowInEnglishOnEveryPage() {
    Bench b;
    // Service and production mode show their pages too.
    IniFile(b.iniPath()).writeString("Programm", "ServicePasswort", "R2K");
    IniFile(b.iniPath()).writeString("Produktion", "Produktion", "QZPN");
    IniFile(b.iniPath()).writeString("Programm", "Sprache", "English");
    // A mixer of two nitrogen controllers: the composition tells them apart by address.
    IniFile(b.iniPath()).writeString("Mischer0", "Name", "N2 split");
    for (int n = 1; n <= 2; ++n) {
        const std::string i = std::to_string(n);
        IniFile(b.iniPath()).writeInteger("Mischer0", "tesra_" + i, n);
        IniFile(b.iniPath()).writeString("Mischer0", "GasName_" + i, "N2");
        IniFile(b.iniPath()).writeString("Mischer0", "GasAnteil_" + i, n == 1 ? "0.7" : "0.3");
    }
    b.window->resize(1100, 680);
    b.window->show();
    b.startAndScan();
    b.window->console().selectRow(2); // series 4 with pressure control
    b.window->setPageVisible(ConsolePage::Profibus, true);
    tick(b, 5);
    QTabWidget* tabs = b.window->pages();
    for (int i = 0; i < tabs->count(); ++i) {
        if (!tabs->isTabVisible(i)) continue;
        tabs->setCurrentIndex(i);
        if (tabs->widget(i) == b.window->mixerPage())
            b.window->mixerPage()->MischerListBox->setCurrentRow(0);
        tick(b);
        save(b.window.get(), "main_en_" + tabs->widget(i)->objectName() + ".png");
    }
}

void ScreenshotsTest::scanProgressWindow() {
    Bench b;
    QtUi qt(b.window.get());
    b.ui.qt = &qt;
    IniFile(b.iniPath()).writeString("Programm", "Sprache", "English");
    b.window->show();
    b.window->FormShow(); // nothing stored: the scan starts
    b.window->pollTimer()->stop();
    tick(b, 40);
    QVERIFY(b.window->console().scanning());
    FBalken* balken = qt.progressWindow();
    QVERIFY(balken->stopButton()->isVisible());
    QVERIFY(balken->labelText().contains("devices found"));
    save(balken, "scan_progress.png");
    QTest::mouseClick(balken->stopButton(), Qt::LeftButton);
    tick(b);
    QVERIFY(!b.window->console().scanning());
}

void ScreenshotsTest::connectionDialogListsAPseudoTerminal() {
    int master = posix_openpt(O_RDWR | O_NOCTTY);
    QVERIFY(master >= 0);
    QVERIFY(grantpt(master) == 0 && unlockpt(master) == 0);
    Bench b;
    IniFile ini(b.iniPath());
    ini.writeString("Tesra", "ComPath_2", ptsname(master));
    ini.writeInteger("Tesra", "Com", 2);
    b.comm.IniPath = b.iniPath();
    b.comm.KnownSections = {"Tesra"};
    b.comm.LanguageName = "English";
    TCommForm* form = b.window->commForm();
    form->FormActivate();
    QVERIFY(form->portList()->currentItem());
    QCOMPARE(form->portList()->currentItem()->text(), QString("COM2  Type ?"));
    QCOMPARE(form->pathEdit()->text(), QString(ptsname(master)));
    form->resize(form->sizeHint());
    save(form, "connection_dialog.png");
    ::close(master);
}

void ScreenshotsTest::loggerWhileRecording() {
    Bench b;
    {
        IniFile ini(b.iniPath());
        IniFile::Batch batch(ini);
        ini.writeString("Programm", "Sprache", "English");
        ini.writeString("Programm", "Verzeichnis", b.dir.path().toStdString() + "/logs/");
        for (int n = 1; n <= 2; ++n) {
            ini.writeInteger("Init", "tesra_" + std::to_string(n), n);
            ini.writeInteger("Init", "tesraLog_" + std::to_string(n), 1);
        }
        ini.writeInteger("Init", "Multi", 1);
        ini.writeString("Init", "dZeitEdit", "1");
    }
    b.window->resize(1100, 680);
    b.window->show();
    b.startAndScan();
    b.window->showPage(ConsolePage::Logger);
    QTest::mouseClick(b.window->loggerPage()->LogBtn, Qt::LeftButton);
    b.window->pollTimer()->stop();
    tick(b, 125);
    QVERIFY(b.window->loggerPage()->recordingInfo->isVisible());
    const QString info = b.window->loggerPage()->recordingInfo->text();
    QVERIFY2(info.contains("/logs/24010002_") && !info.contains("Lines: 0&"), qPrintable(info));
    save(b.window.get(), "logger_recording.png");
}

QTEST_MAIN(ScreenshotsTest)
#include "screenshots_test.moc"
