#pragma once
#include "console/console.h"
#include "console/console_view.h"
#include "shell/language_text_source.h"

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QSet>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>

#include <functional>
#include <map>
#include <memory>

namespace getkelo {

class AlarmPage;
class AlarmSheet;
class ConsoleMixerHost;
class DataLogger;
class GasMixer;
class SignalPage;
class ConsolePageWidget;
class DeviceListModel;
class GraphWindows;
class CalibrationWindows;
class Konfig1;
class ConsoleUpdateLink;
class FirmwareUpdate;
class UpdateDialog;
class UpdateMenus;
class TUpdt;
class TKonfig1;
class SetupMenu;
class TTesra;
struct SetupPlaces;
class LoggerPage;
class MixerPage;
class ModbusPage;
class PressureControlPage;
class CustomerPage;
class CustomerParams;
class ExtrasPage;
class ExtrasParams;
class FilterPage;
class FilterParams;
class PressSettings;
class PressureControlParams;
class ProductionPage;
class ProductionParams;
class ProfibusPage;
class ProfibusParams;
class TPressSettings;
struct PageContext;
class UiAdapter;
class SignalSheet;
class TAboutBox;
class TBusMonitor;
class TCommForm;
class TKontakt;
class TLng;
class TRegister;
class TfrmDir;

// The operator console's main window: the device grid, the pages, the menus, the polling
// timer. It forwards every event to the Console and shows what the Console tells it.
class TGetKeloM : public QMainWindow, public ConsoleView {
    Q_OBJECT
  public:
    TGetKeloM(TComm& comm, UiAdapter& ui, ConsolePaths paths, QWidget* parent = nullptr);
    ~TGetKeloM() override;

    Console& console() { return *console_; }
    // The firmware update's door to the line (the demo gives it the in-process bus).
    ConsoleUpdateLink& updateLink() { return *updateLink_; }
    TUpdt* updateForm() const { return updt_; }
    const LanguageTextSource& texts() const { return texts_; }
    const std::string& programDir() const { return programDir_; }

    // What ends the program at the end of the exit routine (tests replace it).
    void setEndProgram(std::function<void()> f) { endProgram_ = std::move(f); }

    // The start-up of the first show (also callable without showing, for tests).
    void FormShow();
    // Applies the current language to every caption, the grid headers and the dialogs.
    void ApplyLanguage();
    // Menu "Datei" / "Sprache".
    void SprachenClick();
    // Sets the language without the dialog (same effect as choosing it there).
    void setLanguage(const std::string& name);
    // Repaints what changed in the device list and follows its selection.
    void syncFromConsole();

    // ---- ConsoleView
    void startTimer() override;
    void stopTimer() override;
    bool timerActive() const override;
    void setScanButtonDown(bool down) override;
    void setControlEnabled(ConsoleControl control, bool enabled) override;
    void setControlVisible(ConsoleControl control, bool visible) override;
    void setPageVisible(ConsolePage page, bool visible) override;
    void showPage(ConsolePage page) override;
    ConsolePage frontPage() const override;
    void setStatusText(const std::string& text) override;
    void setConnectionStatus(const std::string& text, bool ok) override;
    void setVersions(const std::string& software, const std::string& hardware) override;
    void setUnitLabels(const std::string& unit) override;
    void setSetpointText(const std::string& text) override;
    bool setpointHasFocus() const override;
    void setControlModeItems(const std::vector<std::string>& items) override;
    void setPollingScope(bool allDevices) override;
    void setLoggerSettings(const LoggerSettings& settings) override;
    LoggerSettings loggerSettings() const override;
    void setLoggerStartStop(const DateTime& now) override;
    void setMixerNames(const std::vector<std::string>& names) override;
    void setGraphSize(int width, int height) override;
    void graphSize(int& width, int& height) const override;
    bool flowGraphShown() const override;
    void showPressureLiveValues(const PressureLiveValues& values) override;
    void showAboutBox() override;
    void closeAboutBox() override;
    void endProgram() override;

    // ---- for tests and later subsystems
    QAction* action(const QString& objectName) const;
    QMenu* menu(const QString& objectName) const;
    QTableView* grid() const { return grid_; }
    DeviceListModel* gridModel() const { return model_; }
    QTabWidget* pages() const { return tabs_; }
    ModbusPage* modbusPage() const { return modbus_; }
    TPressSettings* pressSettingsDialog() const { return pressSettings_; }
    SignalSheet* signalSheet() const { return signal_; }
    AlarmSheet* alarmSheet() const { return alarm_; }
    LoggerPage* loggerPage() const { return logger_; }
    MixerPage* mixerPage() const { return mixer_; }
    GraphWindows* graphs() const { return graphs_; }
    ConsolePageWidget* page(ConsolePage kind) const;
    QTimer* pollTimer() { return &timer_; }
    TCommForm* commForm() const { return commForm_; }
    QLabel* connectionStatus() const { return link_; }
    TAboutBox* aboutBox() const { return about_; }
    TKontakt* kontaktBox() const { return kontakt_; }
    TfrmDir* directoryDialog() const { return dir_; }
    TLng* languageDialog() const { return lng_; }
    TRegister* registerDialog() const { return register_; }
    TBusMonitor* busMonitor() const { return busMonitor_; }
    // Marks an entry as belonging to a subsystem that is not there: it stays disabled.
    void setUnavailable(QAction* a, bool unavailable);

  protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildMenus();
    void buildCentral();
    void attachPageLogic();
    void connectControls();
    QAction* addAction(QMenu* menu, const QString& name, const QString& caption,
                       const QString& key = QString(), const QString& prefix = QString());
    QAction* controlAction(ConsoleControl c) const;
    QWidget* controlWidget(ConsoleControl c) const;
    void TimerTimer();
    void gridClicked(const QModelIndex& index);
    void AnschlussClick();
    // "OEM": the factory EEPROM dialog for a first-generation device.
    void OemClick();
    const skelo* selectedFirstGeneration() const;
    // Second or third generation (and first): a version text below "4.0.0".
    bool selectedOlderGeneration() const;
    // "Konfig erzeugen", "Konfig einlesen", "Vergleichen" on the selected device.
    using SetupEntry = void (SetupMenu::*)(TTesra&, const std::string&, const std::string&,
                                           const SetupPlaces&);
    void setupEntry(SetupEntry entry);
    void HilfeClick();
    // "Kalibration" / "Datensätze" of a series-4 device: the lookup-table dialog.
    void mnuKalibrationT4Click();
    void RegisterMnuClick();
    void updateLiveFields();

    TComm& comm_;
    UiAdapter& ui_;
    std::string programDir_;
    LanguageTextSource texts_;
    std::unique_ptr<Console> console_;
    // The logic behind the logger, alarm, signal and mixer pages; it plugs into the tick.
    std::unique_ptr<DataLogger> dataLogger_;
    std::unique_ptr<AlarmPage> alarmLogic_;
    std::unique_ptr<SignalPage> signalLogic_;
    std::unique_ptr<ConsoleMixerHost> mixerHost_;
    std::unique_ptr<GasMixer> gasMixer_;
    // The flow and pressure graphs and the zoom windows (children of this window).
    GraphWindows* graphs_ = nullptr;
    CalibrationWindows* calib_ = nullptr;
    std::function<void()> endProgram_;

    QTimer timer_;
    QTableView* grid_ = nullptr;
    DeviceListModel* model_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    QLabel* status_ = nullptr;
    QLabel* link_ = nullptr; // the connection and its state
    ModbusPage* modbus_ = nullptr;
    SignalSheet* signal_ = nullptr;
    AlarmSheet* alarm_ = nullptr;
    LoggerPage* logger_ = nullptr;
    MixerPage* mixer_ = nullptr;
    PressureControlPage* pressure_ = nullptr;
    ExtrasPage* extras_ = nullptr;
    FilterPage* filter_ = nullptr;
    ProfibusPage* profibus_ = nullptr;
    ProductionPage* production_ = nullptr;
    CustomerPage* customer_ = nullptr;
    // The series-4 pages' logic and the pressure controller settings.
    std::unique_ptr<PageContext> pageContext_;
    std::unique_ptr<ExtrasParams> extrasLogic_;
    std::unique_ptr<FilterParams> filterLogic_;
    std::unique_ptr<ProfibusParams> profibusLogic_;
    std::unique_ptr<PressureControlParams> pressureLogic_;
    std::unique_ptr<ProductionParams> productionLogic_;
    std::unique_ptr<CustomerParams> customerLogic_;
    std::unique_ptr<PressSettings> pressSettingsLogic_;
    TPressSettings* pressSettings_ = nullptr;
    std::vector<ConsolePageWidget*> pageList_;
    std::map<ConsoleControl, QAction*> actions_;
    QList<QAction*> updateSeparators_;
    QSet<QAction*> unavailable_;
    QMenu* kalibrationMenu_ = nullptr;
    QAction* sprachenAction_ = nullptr;

    TAboutBox* about_ = nullptr;
    TKontakt* kontakt_ = nullptr;
    TLng* lng_ = nullptr;
    TfrmDir* dir_ = nullptr;
    TCommForm* commForm_ = nullptr;
    TRegister* register_ = nullptr;
    TBusMonitor* busMonitor_ = nullptr;
    std::unique_ptr<ConsoleUpdateLink> updateLink_;
    std::unique_ptr<FirmwareUpdate> update_;
    std::unique_ptr<UpdateDialog> updateDialog_;
    std::unique_ptr<UpdateMenus> updateMenus_;
    TUpdt* updt_ = nullptr;
    std::unique_ptr<Konfig1> konfig1Logic_;
    TKonfig1* konfig1_ = nullptr;
    SetupMenu* setupMenu_ = nullptr;
    QAction* compareAction_ = nullptr;

    bool shown_ = false;
    bool exiting_ = false;
    bool syncing_ = false;
};

} // namespace getkelo
