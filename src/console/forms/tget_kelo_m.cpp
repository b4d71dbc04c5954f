#include "console/forms/tget_kelo_m.h"

#include "calib/forms/calibration_windows.h"

#include "console/alarms/alarm_page.h"
#include "console/alarms/signal_page.h"
#include "console/logging/data_logger.h"
#include "console/mixer/console_mixer_host.h"
#include "console/mixer/gas_mixer.h"

#include "base/ini_file.h"
#include "base/number_format.h"
#include "calib/data_file_path.h"
#include "comm/tcomm.h"
#include "comm/ttesra.h"
#include "config/forms/setup_menu.h"
#include "config/forms/tkonfig1.h"
#include "config/konfig1.h"
#include "config/params/customer_params.h"
#include "config/params/extras_params.h"
#include "config/params/filter_params.h"
#include "config/params/pressure_control_params.h"
#include "config/params/production_params.h"
#include "config/params/profibus_params.h"
#include "config/press/forms/tpress_settings.h"
#include "config/press/press_settings.h"
#include "config/t4lookup/forms/tt4_lookup.h"
#include "config/t4lookup/t4_lookup.h"
#include "console/forms/alarm_page.h"
#include "console/forms/component_texts.h"
#include "console/forms/customer_page.h"
#include "console/forms/device_list_model.h"
#include "console/forms/extras_page.h"
#include "console/forms/filter_page.h"
#include "console/forms/logger_page.h"
#include "console/forms/mixer_page.h"
#include "console/forms/modbus_page.h"
#include "console/forms/pressure_control_page.h"
#include "console/forms/production_page.h"
#include "console/forms/profibus_page.h"
#include "console/forms/signal_page.h"
#include "console/forms/tbus_monitor.h"
#include "console/forms/tcomm_form.h"
#include "console/forms/tfrm_dir.h"
#include "console/forms/tregister.h"
#include "console/software_generation.h"
#include "graphs/forms/graph_windows.h"
#include "shell/access_prompts.h"
#include "shell/forms/tabout_box.h"
#include "shell/forms/tkontakt.h"
#include "shell/forms/tlng.h"
#include "shell/language_file.h"
#include "ui/qt/qt_translations.h"
#include "ui/ui_adapter.h"
#include "update/firmware_update.h"
#include "update/forms/tupdt.h"
#include "update/update_dialog.h"
#include "update/update_menus.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTabBar>
#include <QVBoxLayout>

namespace getkelo {

TGetKeloM::TGetKeloM(TComm& comm, UiAdapter& ui, ConsolePaths paths, QWidget* parent)
    : QMainWindow(parent), comm_(comm), ui_(ui), programDir_(paths.programDir) {
    setObjectName("GetKeloM");
    setWindowTitle("GetKelo");
    resize(1040, 640);
    endProgram_ = [] { QCoreApplication::exit(0); };
    console_ = std::make_unique<Console>(comm, *this, ui, texts_, paths);
    // The window is usable at once; the devices of the last run come back one per tick.
    console_->setRestoreInTicks(true);

    timer_.setInterval(100);
    connect(&timer_, &QTimer::timeout, this, [this] { TimerTimer(); });

    buildMenus();
    buildCentral();
    attachPageLogic();
    status_ = new QLabel(this);
    statusBar()->addWidget(status_, 1);
    link_ = new QLabel(this);
    link_->setObjectName("ConnectionStatus");
    link_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    statusBar()->addPermanentWidget(link_);
    // Device layer messages (a port in use) in the operator's language.
    comm_.MessageText = [this](const std::string& key, const std::string& german) {
        return textOr(texts_, key, german);
    };

    about_ = new TAboutBox(this);
    kontakt_ = new TKontakt(this);
    lng_ = new TLng(this);
    dir_ = new TfrmDir(console_->settings(), ui_, this);
    commForm_ = new TCommForm(comm_, this);
    register_ = new TRegister(
        ui_, [this] { return console_->connection(); }, this);
    busMonitor_ = new TBusMonitor(
        comm_, ui_, [this] { return console_->settings().workDir; }, this);
    updateLink_ = std::make_unique<ConsoleUpdateLink>(*console_);
    update_ = std::make_unique<FirmwareUpdate>(comm_, *updateLink_, texts_);
    update_->setTrace(updateTraceFromEnvironment());
    updateDialog_ = std::make_unique<UpdateDialog>(*update_, *updateLink_, texts_);
    updt_ = new TUpdt(*updateDialog_, texts_, this);
    updateMenus_ = std::make_unique<UpdateMenus>(
        *console_, ui_, *update_, *updateDialog_,
        UpdateMenus::Host{[this](bool on) { on ? startTimer() : stopTimer(); },
                          [this] {
                              updt_->setSources(console_->settings().updateDir,
                                                &console_->devices());
                              updt_->exec();
                          }});
    konfig1Logic_ = std::make_unique<Konfig1>(ui_, texts_);
    konfig1_ = new TKonfig1(*konfig1Logic_, ui_, this);
    setupMenu_ = new SetupMenu(ui_, texts_, comm_.clock(), this);
    connectControls();
}

TGetKeloM::~TGetKeloM() {
    timer_.stop();
    comm_.MessageText = nullptr;
    delete graphs_; // its windows use the console
    graphs_ = nullptr;
    delete calib_;
    calib_ = nullptr;
    // Children losing the focus while the window goes must not reach the console any more.
    modbus_->singleDevice->removeEventFilter(this);
    modbus_->allDevices->removeEventFilter(this);
    // The grid and the pages read the console's device list: they go while it still exists.
    delete takeCentralWidget();
    delete model_;
}

// ------------------------------------------------------------------ construction

QAction* TGetKeloM::addAction(QMenu* menu, const QString& name, const QString& caption,
                              const QString& key, const QString& prefix) {
    auto* a = menu->addAction(caption);
    a->setParent(this);
    if (!key.isEmpty())
        markComponent(a, name, key, prefix);
    else
        a->setObjectName(name);
    return a;
}

void TGetKeloM::buildMenus() {
    QMenuBar* bar = menuBar();
    auto* datei = bar->addMenu("Datei");
    markComponent(datei, "DateiMnu");
    auto* verzeichnis = addAction(datei, "Verzeichnis", "Arbeitsverzeichnis", "Verzeichnis");
    actions_[ConsoleControl::ImportMenu] =
        addAction(datei, "ImportMnu", "Konfig einlesen", "ImportMnu");
    actions_[ConsoleControl::ExportMenu] =
        addAction(datei, "ExportMnu", "Konfig erzeugen", "ExportMnu");
    actions_[ConsoleControl::ImportMenu]->setShortcut(QKeySequence("Ctrl+O"));
    actions_[ConsoleControl::ExportMenu]->setShortcut(QKeySequence("Ctrl+S"));
    compareAction_ = addAction(datei, "CompareMnu", "Vergleichen", "CompareMnu");
    compareAction_->setEnabled(false);
    updateSeparators_ << datei->addSeparator();
    actions_[ConsoleControl::UpdateMenu] =
        addAction(datei, "UpdateMnu", " Firmware Update", "UpdateMnu");
    actions_[ConsoleControl::UpdateAllMenu] =
        addAction(datei, "UpdateAllmnu", " Alle Geräte Updaten", "UpdateAllmnu");
    actions_[ConsoleControl::UpdateNoFirmwareMenu] =
        addAction(datei, "UpdateEmptyMnu", " Firmware Update", "UpdateEmptyMnu");
    updateSeparators_ << datei->addSeparator();
    auto* anschluss = addAction(datei, "COMPort", "Anschluss", "Connection");
    sprachenAction_ = addAction(datei, "Sprachen", "Sprache", "Sprachen");
    datei->addSeparator();
    auto* beenden = addAction(datei, "BeendenMnu", "Beenden", "BeendenMnu");

    auto* graph = bar->addAction("Graph");
    markComponent(graph, "GraphMenu");
    actions_[ConsoleControl::GraphMenu] = graph;

    kalibrationMenu_ = bar->addMenu("Kalibration");
    markComponent(kalibrationMenu_->menuAction(), "KalibrationMnu", "Kalibration");
    actions_[ConsoleControl::CalibrationMenu] = kalibrationMenu_->menuAction();
    actions_[ConsoleControl::DataSetsMenu] =
        addAction(kalibrationMenu_, "Datenstze1", "Datensätze", "Datenstze1");
    actions_[ConsoleControl::DataSets4Menu] =
        addAction(kalibrationMenu_, "mnuKalibrationT4", "Datensätze", "mnuKalibrationT4");
    auto* justieren = addAction(kalibrationMenu_, "Justieren", "Justieren", "Justieren");

    auto* oem = bar->addAction("OEM");
    markComponent(oem, "OEM");
    actions_[ConsoleControl::OemMenu] = oem;

    auto* help = bar->addMenu("?");
    markComponent(help, "HelpMenu");
    auto* hilfe = addAction(help, "HilfeM", "Hilfe", "Help");
    actions_[ConsoleControl::RegisterMenu] =
        addAction(help, "RegisterMnu", "   Register", "RegisterMnu", "   ");
    auto* busMonitor = addAction(help, "BusMonitorMnu", "   Busmonitor", "BusMonitorMnu", "   ");
    auto* softreset = addAction(help, "SoftresetMnu", "   Softreset", "SoftresetMnu", "   ");
    auto* service =
        addAction(help, "ServicePasswortMnu", "   Service Passwort", "ServicePasswortMnu", "   ");
    auto* kontakt = addAction(help, "KontaktMnu", "Kontakt", "KontaktMnu");
    auto* info = addAction(help, "InfoMnu", "   Info", "Info", "   ");

    // Entries whose subsystems are not part of this program yet.
    for (QAction* a : {actions_[ConsoleControl::OemMenu]})
        setUnavailable(a, true);
    // Until a device is selected the calibration and graph menus stay off.
    kalibrationMenu_->menuAction()->setEnabled(false);
    // The entry for devices without firmware is offered by no generation of selected device.
    actions_[ConsoleControl::UpdateNoFirmwareMenu]->setVisible(false);

    connect(verzeichnis, &QAction::triggered, this, [this] { dir_->exec(); });
    connect(anschluss, &QAction::triggered, this, [this] { AnschlussClick(); });
    connect(graph, &QAction::triggered, this, [this] { graphs_->GraphMenuClick(); });
    connect(justieren, &QAction::triggered, this, [this] { calib_->JustierenClick(); });
    connect(actions_[ConsoleControl::DataSetsMenu], &QAction::triggered, this,
            [this] { calib_->DatensaetzeClick(); });
    connect(sprachenAction_, &QAction::triggered, this, [this] { SprachenClick(); });
    connect(beenden, &QAction::triggered, this, [this] {
        if (exiting_) return;
        exiting_ = true;
        console_->BeendenMnuClick();
    });
    connect(hilfe, &QAction::triggered, this, [this] { HilfeClick(); });
    connect(actions_[ConsoleControl::RegisterMenu], &QAction::triggered, this,
            [this] { RegisterMnuClick(); });
    connect(busMonitor, &QAction::triggered, this, [this] {
        busMonitor_->show();
        busMonitor_->raise();
    });
    connect(softreset, &QAction::triggered, this, [this] { console_->SoftresetClick(); });
    connect(service, &QAction::triggered, this,
            [this] { editServicePassword(ui_, console_->settings().file(), &texts_); });
    connect(oem, &QAction::triggered, this, [this] { OemClick(); });
    connect(actions_[ConsoleControl::DataSets4Menu], &QAction::triggered, this,
            [this] { mnuKalibrationT4Click(); });
    connect(actions_[ConsoleControl::ExportMenu], &QAction::triggered, this,
            [this] { setupEntry(&SetupMenu::ExportMnuClick); });
    connect(actions_[ConsoleControl::ImportMenu], &QAction::triggered, this,
            [this] { setupEntry(&SetupMenu::ImportMnuClick); });
    connect(compareAction_, &QAction::triggered, this,
            [this] { setupEntry(&SetupMenu::VergleichenClick); });
    connect(actions_[ConsoleControl::UpdateMenu], &QAction::triggered, this,
            [this] { updateMenus_->UpdateMnuClick(); });
    connect(actions_[ConsoleControl::UpdateAllMenu], &QAction::triggered, this,
            [this] { updateMenus_->UpdateAllmnuClick(); });
    connect(actions_[ConsoleControl::UpdateNoFirmwareMenu], &QAction::triggered, this,
            [this] { updateMenus_->UpdateEmptymnuClick(); });
    connect(kontakt, &QAction::triggered, this, [this] {
        kontakt_->load(programDir_);
        kontakt_->exec();
    });
    connect(info, &QAction::triggered, this, [this] { about_->exec(); });
}

void TGetKeloM::buildCentral() {
    auto* split = new QSplitter(Qt::Vertical, this);
    grid_ = new QTableView(split);
    grid_->setObjectName("DeviceGrid");
    model_ = new DeviceListModel(console_->devices(), this);
    grid_->setModel(model_);
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->verticalHeader()->setDefaultSectionSize(22);
    grid_->verticalHeader()->setVisible(false);
    grid_->horizontalHeader()->setStretchLastSection(false);
    const int widths[kDeviceColumns] = {60, 90, 130, 90, 80, 90, 70, 70, 30, 90, 50, 28, 28};
    for (int c = 0; c < kDeviceColumns; ++c)
        grid_->setColumnWidth(c, widths[c]);

    tabs_ = new QTabWidget(split);
    tabs_->setObjectName("PageControl");
    modbus_ = new ModbusPage;
    signal_ = new SignalSheet;
    alarm_ = new AlarmSheet;
    logger_ = new LoggerPage;
    mixer_ = new MixerPage;
    pressure_ = new PressureControlPage;
    extras_ = new ExtrasPage;
    filter_ = new FilterPage;
    profibus_ = new ProfibusPage;
    customer_ = new CustomerPage;
    production_ = new ProductionPage;
    pageList_ = {modbus_, signal_,   alarm_,    logger_,   mixer_,     extras_,
                 filter_, profibus_, pressure_, customer_, production_};
    for (ConsolePageWidget* p : pageList_)
        tabs_->addTab(p, p->fixedCaption());
    // Pages that fit a device are shown when one is selected.
    for (ConsolePageWidget* p : pageList_)
        if (p != modbus_ && p != logger_ && p != mixer_)
            tabs_->setTabVisible(tabs_->indexOf(p), false);

    split->addWidget(grid_);
    split->addWidget(tabs_);
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 1);
    split->setSizes({240, 360});
    setCentralWidget(split);
}

void TGetKeloM::attachPageLogic() {
    dataLogger_ = std::make_unique<DataLogger>(console_->devices(), comm_.clock(), ui_);
    dataLogger_->setWorkDir([this] { return console_->settings().workDir; });
    dataLogger_->setStateSave([this] { console_->saveState(); });
    dataLogger_->setPollAll([this] { return console_->pollAll(); });
    dataLogger_->setTexts(&texts_);
    logger_->attach(dataLogger_.get());
    console_->setLogHook(dataLogger_.get());

    auto connection = [this] { return console_->connection(); };
    alarmLogic_ = std::make_unique<AlarmPage>(console_->devices(), *this, connection);
    signalLogic_ = std::make_unique<SignalPage>(console_->devices(), *this, connection);
    signalLogic_->setPressurePage([this](int code) { console_->showPressurePageFor(code); });
    alarmLogic_->setSignalPage(signalLogic_.get());
    alarm_->attach(alarmLogic_.get());
    signal_->attach(signalLogic_.get());
    console_->setAlarmHook(alarmLogic_.get());

    mixerHost_ = std::make_unique<ConsoleMixerHost>(*console_, *this);
    gasMixer_ = std::make_unique<GasMixer>(*mixerHost_, console_->settings().file(), ui_);
    gasMixer_->setTexts(&texts_);
    console_->setMixerHook(gasMixer_.get());
    mixer_->attach(*gasMixer_);

    graphs_ = new GraphWindows(*console_, ui_, texts_, this);
    calib_ = new CalibrationWindows(*console_, ui_, texts_, this);
    console_->setZoomHook(graphs_->zoomHook());

    pageContext_ = std::make_unique<PageContext>(
        PageContext{*this, console_->devices(), connection, ui_, texts_});
    extrasLogic_ = std::make_unique<ExtrasParams>(*pageContext_);
    extras_->attach(extrasLogic_.get());
    filterLogic_ = std::make_unique<FilterParams>(*pageContext_);
    filter_->attach(filterLogic_.get());
    profibusLogic_ = std::make_unique<ProfibusParams>(*pageContext_);
    profibus_->attach(profibusLogic_.get());
    pressureLogic_ = std::make_unique<PressureControlParams>(*pageContext_);
    pressure_->attach(pressureLogic_.get());
    productionLogic_ = std::make_unique<ProductionParams>(*pageContext_);
    production_->attach(productionLogic_.get());
    customerLogic_ = std::make_unique<CustomerParams>(*pageContext_);
    customer_->attach(customerLogic_.get());
    pressSettingsLogic_ = std::make_unique<PressSettings>(*pageContext_);
    pressSettings_ = new TPressSettings(*pressSettingsLogic_, this);
    connect(pressure_, &PressureControlPage::pressSettingsRequested, this,
            [this] { pressSettings_->run(); });
}

void TGetKeloM::connectControls() {
    connect(grid_, &QTableView::clicked, this, [this](const QModelIndex& i) { gridClicked(i); });
    // A device's zoom window: double click on its row, or "Zoom" in the row's context menu.
    connect(grid_, &QTableView::doubleClicked, this,
            [this](const QModelIndex& i) { graphs_->openZoom(i.row() + 1); });
    auto* zoom = new QAction("Zoom", grid_);
    markComponent(zoom, "ZoomMnu");
    grid_->addAction(zoom);
    grid_->setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(zoom, &QAction::triggered, this, [this] {
        if (grid_->currentIndex().isValid()) graphs_->openZoom(grid_->currentIndex().row() + 1);
    });
    connect(modbus_->CheckBus, &QPushButton::clicked, this, [this](bool down) {
        console_->CheckBusClick(down);
        syncFromConsole();
    });
    auto forward = [this](QPushButton* b, void (Console::*handler)()) {
        connect(b, &QPushButton::clicked, this, [this, handler] {
            ((*console_).*handler)();
            syncFromConsole();
        });
    };
    forward(modbus_->SetEdit, &Console::ChangeAdrClick);
    forward(modbus_->SearchNew, &Console::SearchNewClick);
    forward(modbus_->AllAdr247, &Console::AllAdr247Click);
    forward(modbus_->SollNull, &Console::SollNullClick);
    forward(modbus_->CountRst, &Console::CountRstClick);
    auto sendSetpoint = [this] {
        modbus_->setpointEdit->selectAll();
        console_->SollOKBtnClick(modbus_->setpointEdit->text().toStdString());
    };
    connect(modbus_->SollOKBtn, &QPushButton::clicked, this, sendSetpoint);
    connect(modbus_->setpointEdit, &QLineEdit::returnPressed, this, sendSetpoint);
    connect(modbus_->allDevices, &QRadioButton::toggled, this,
            [this](bool all) { console_->setPollAll(all); });
    modbus_->singleDevice->installEventFilter(this);
    modbus_->allDevices->installEventFilter(this);
    connect(logger_->directoryButton, &QPushButton::clicked, this, [this] { dir_->exec(); });
    connect(alarm_->resetButton, &QPushButton::clicked, this,
            [this] { console_->AlarmResetClick(); });
    connect(alarm_, &AlarmSheet::highlightChanged, this, [this](bool on) {
        tabs_->tabBar()->setTabTextColor(tabs_->indexOf(alarm_), on ? Qt::red : QColor());
    });
    // While logging, the scope is fixed and the list only clickable for all devices.
    connect(logger_, &LoggerPage::runningChanged, this, [this](bool running) {
        setControlEnabled(ConsoleControl::PollingScope, !running);
        setControlEnabled(ConsoleControl::DeviceGrid, !running || console_->pollAll());
    });
}

// ------------------------------------------------------------------ start, language, exit

void TGetKeloM::showEvent(QShowEvent* e) {
    QMainWindow::showEvent(e);
    if (!shown_) {
        shown_ = true;
        // After the window is on screen, so the start-up notice appears above it.
        QTimer::singleShot(0, this, [this] { FormShow(); });
    }
}

void TGetKeloM::FormShow() {
    if (console_->started()) return;
    // The texts must be there before the console labels the grid with them.
    IniFile ini(console_->settings().file().path());
    comm_.LanguageName = ini.readString("Programm", "Sprache", "Deutsch");
    texts_.load(programDir_, comm_.LanguageName);
    ApplyLanguage();
    console_->FormShow();
    if (comm_.LanguageName != texts_.languageName()) ApplyLanguage();
    syncFromConsole();
    if (!timer_.isActive() && !exiting_) timer_.start();
}

void TGetKeloM::ApplyLanguage() {
    texts_.load(programDir_, comm_.LanguageName);
    applyComponentTexts(this, texts_);
    for (ConsolePageWidget* p : pageList_)
        p->applyLanguage(texts_);
    dir_->applyLanguage(texts_);
    busMonitor_->applyLanguage(texts_);
    register_->applyLanguage(texts_);
    konfig1_->applyLanguage(texts_);
    pressSettings_->applyLanguage(texts_);
    setupMenu_->applyLanguage(texts_);
    updt_->applyLanguage(texts_);
    graphs_->applyLanguage(texts_);
    about_->applyLanguage(texts_);
    kontakt_->applyLanguage(texts_);
    commForm_->applyTexts();
    // Qt's own buttons and choosers follow (a language without a Qt translation keeps them
    // English).
    useQtTranslations(QString::fromStdString(texts_.text("QtLocale")));
    lng_->setTexts(QString::fromStdString(texts_.text("Language")),
                   QString::fromStdString(texts_.text("Exit")));
    const QString flag = QString::fromStdString(languageFlagPath(programDir_, comm_.LanguageName));
    sprachenAction_->setIcon(QFileInfo::exists(flag) ? QIcon(flag) : QIcon());
    console_->applyLanguage();
    model_->refresh();
}

void TGetKeloM::setLanguage(const std::string& name) {
    comm_.LanguageName = name;
    ApplyLanguage();
}

void TGetKeloM::SprachenClick() {
    const std::string chosen = lng_->ChooseLanguage(programDir_, comm_.LanguageName);
    // A file that cannot give its texts would blank every caption: the language stays.
    if (const std::string error = languageLoadError(programDir_, chosen); !error.empty()) {
        ui_.messageBox(texts_.text("infoLanguageNotLoaded") + "\n" + error, "GetKelo",
                       MsgIcon::Warning, MsgButtons::Ok);
        return;
    }
    // Applied again whether the choice changed or not.
    setLanguage(chosen);
}

void TGetKeloM::closeEvent(QCloseEvent* e) {
    if (!exiting_) {
        exiting_ = true;
        console_->BeendenMnuClick();
    }
    e->accept();
}

void TGetKeloM::endProgram() {
    timer_.stop();
    if (endProgram_) endProgram_();
}

// ------------------------------------------------------------------ events

void TGetKeloM::TimerTimer() {
    console_->TimerTimer();
    syncFromConsole();
}

void TGetKeloM::gridClicked(const QModelIndex& index) {
    if (!index.isValid() || syncing_) return;
    console_->selectRow(index.row() + 1);
    syncFromConsole();
}

bool TGetKeloM::eventFilter(QObject* watched, QEvent* event) {
    if (console_ && event->type() == QEvent::FocusOut &&
        (watched == modbus_->singleDevice || watched == modbus_->allDevices)) {
        QWidget* next = QApplication::focusWidget();
        // Moving between the two choices keeps the focus inside the group.
        if (next != modbus_->singleDevice && next != modbus_->allDevices && console_->started())
            console_->MultiGroupExit();
    }
    return QMainWindow::eventFilter(watched, event);
}

void TGetKeloM::AnschlussClick() {
    stopTimer();
    console_->closeConnection();
    commForm_->exec();
    // A new connection from the stored settings, OK or Cancel.
    console_->reopenConnection();
    startTimer();
}

bool TGetKeloM::selectedOlderGeneration() const {
    const DeviceList& list = console_->devices();
    const int row = list.selectedRow();
    if (row < 1 || row > list.count()) return false;
    const std::string& version = list.record(row).softwareVersion;
    return !version.empty() && version < "4.0.0";
}

const skelo* TGetKeloM::selectedFirstGeneration() const {
    const DeviceList& list = console_->devices();
    const int row = list.selectedRow();
    if (row < 1 || row > list.count()) return nullptr;
    const skelo& rec = list.record(row);
    return softwareMajor(rec.softwareVersion) < 2 ? &rec : nullptr;
}

void TGetKeloM::setupEntry(SetupEntry entry) {
    const DeviceList& list = console_->devices();
    const int row = list.selectedRow();
    TTesra* tesra = console_->connection();
    if (row < 1 || row > list.count() || !tesra) return;
    const ConsoleSettings& s = console_->settings();
    stopTimer();
    tesra->Address = list.record(row).address;
    (setupMenu_->*entry)(
        *tesra, list.record(row).softwareVersion, list.cell(row, 1),
        {s.mapWindowsPath(s.workDir), s.mapWindowsPath(s.dataDir), s.newDirectoryStructure});
    startTimer();
}

void TGetKeloM::OemClick() {
    const skelo* rec = selectedFirstGeneration();
    TTesra* tesra = console_->connection();
    const DeviceList& list = console_->devices();
    const int row = list.selectedRow();
    if (!rec && tesra && selectedOlderGeneration()) {
        // The second and third generation: the factory configuration.
        const ConsoleSettings& s = console_->settings();
        stopTimer();
        tesra->Address = list.record(row).address;
        setupMenu_->openKonfig2(*tesra, MakeDataFilePath({s.dataBaseDir(), s.newDirectoryStructure},
                                                         "tesra Typ03", list.cell(row, 1)));
        startTimer();
        return;
    }
    if (!rec || !tesra) return;
    stopTimer();
    // Polling all devices leaves the connection at the last one polled.
    tesra->Address = rec->address;
    konfig1_->open(*tesra);
    startTimer();
}

void TGetKeloM::mnuKalibrationT4Click() {
    DeviceList& list = console_->devices();
    const int row = list.selectedRow();
    TTesra* tesra = console_->connection();
    if (!tesra || row < 1 || row > list.count()) return;
    stopTimer();
    tesra->Address = list.record(row).address;
    const std::string path =
        series4DataFilePath(dataFileRoot(console_->settings()), list.cell(row, kColSerial));
    T4Lookup logic(*tesra, ui_, texts_);
    TT4Lookup dialog(logic, this);
    dialog.applyLanguage(texts_);
    dialog.run(path);
    // The active slot may have changed: the row shows range, unit and gas of the device again.
    tesra->Address = list.record(row).address;
    console_->ReadRangeAndUnit();
    syncFromConsole();
    startTimer();
}

void TGetKeloM::RegisterMnuClick() {
    stopTimer();
    // Polling all devices leaves the connection at the last one polled, not the selected.
    const DeviceList& list = console_->devices();
    TTesra* tesra = console_->connection();
    if (tesra && list.selectedRow() >= 1 && list.selectedRow() <= list.count())
        tesra->Address = list.record(list.selectedRow()).address;
    if (askDailyAccessCode(ui_, comm_.clock())) register_->exec();
    startTimer();
}

void TGetKeloM::HilfeClick() {
    const std::string path = languageHelpPath(programDir_, comm_.LanguageName);
    if (!ui_.openHelp(path))
        ui_.messageBox(fillArgs(textOr(texts_, "HelpMissing", "Die Hilfedatei %1 fehlt."), {path}),
                       textOr(texts_, "Help", "Hilfe"), MsgIcon::Warning, MsgButtons::Ok);
}

void TGetKeloM::syncFromConsole() {
    syncing_ = true;
    model_->refresh();
    const DeviceList& list = console_->devices();
    if (list.count() > 0) {
        const int row = std::min(std::max(list.selectedRow(), 1), list.count()) - 1;
        auto* sel = grid_->selectionModel();
        if (sel->currentIndex().row() != row || !sel->isRowSelected(row, {})) {
            // Moves the highlight only; the keyboard focus stays where the operator put it.
            sel->setCurrentIndex(model_->index(row, 0),
                                 QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        }
    }
    updateLiveFields();
    logger_->showRecording();
    syncing_ = false;
}

void TGetKeloM::updateLiveFields() {
    const DeviceList& list = console_->devices();
    const int r = list.selectedRow();
    if (list.count() == 0 || r < 1 || r > list.count()) {
        for (QLineEdit* e : {modbus_->flowField, modbus_->valveField, modbus_->totalField})
            e->clear();
        modbus_->flowUnit->clear();
        modbus_->totalUnit->clear();
        return;
    }
    const skelo& rec = list.record(r);
    modbus_->flowField->setText(QString::fromStdString(list.cell(r, kColFlow)));
    modbus_->flowUnit->setText(QString::fromStdString(list.cell(r, kColUnit)));
    const bool controller = (rec.functions & kFnController) != 0;
    modbus_->valveField->setText(controller ? QString::fromStdString(formatFixedMax(rec.valve, 1))
                                            : QString());
    modbus_->totalField->setText(QString::fromStdString(list.cell(r, kColTotal)));
    modbus_->totalUnit->setText(QString::fromStdString(list.cell(r, kColTotalUnit)));
}

// ------------------------------------------------------------------ ConsoleView

void TGetKeloM::startTimer() {
    if (!exiting_) timer_.start();
}
void TGetKeloM::stopTimer() {
    timer_.stop();
}
bool TGetKeloM::timerActive() const {
    return timer_.isActive();
}

void TGetKeloM::setScanButtonDown(bool down) {
    modbus_->CheckBus->setChecked(down);
}

void TGetKeloM::setUnavailable(QAction* a, bool unavailable) {
    if (!a) return;
    if (unavailable) {
        unavailable_.insert(a);
        a->setEnabled(false);
    } else {
        unavailable_.remove(a);
    }
}

QAction* TGetKeloM::controlAction(ConsoleControl c) const {
    auto it = actions_.find(c);
    return it == actions_.end() ? nullptr : it->second;
}

QWidget* TGetKeloM::controlWidget(ConsoleControl c) const {
    switch (c) {
    case ConsoleControl::ScanButton:
        return modbus_->CheckBus;
    case ConsoleControl::SetAddress:
        return modbus_->SetEdit;
    case ConsoleControl::NewDevice:
        return modbus_->SearchNew;
    case ConsoleControl::AllAddress247:
        return modbus_->AllAdr247;
    case ConsoleControl::PollingScope:
        return modbus_->MultiGroup;
    case ConsoleControl::DeviceGrid:
        return grid_;
    case ConsoleControl::SetpointEntry:
        return modbus_->setpointEdit;
    case ConsoleControl::SetpointButton:
        return modbus_->SollOKBtn;
    case ConsoleControl::TotalReset:
        return modbus_->CountRst;
    default:
        return nullptr;
    }
}

void TGetKeloM::setControlEnabled(ConsoleControl control, bool enabled) {
    if (QWidget* w = controlWidget(control)) {
        w->setEnabled(enabled);
    } else if (control == ConsoleControl::UpdateSeparators) {
        for (QAction* s : updateSeparators_)
            s->setEnabled(enabled);
    } else if (QAction* a = controlAction(control)) {
        // "OEM" has its dialog for the first generation only so far.
        const bool oem = control == ConsoleControl::OemMenu && selectedOlderGeneration();
        a->setEnabled(enabled && (oem || !unavailable_.contains(a)));
        if (control == ConsoleControl::ExportMenu) compareAction_->setEnabled(a->isEnabled());
    }
}

void TGetKeloM::setControlVisible(ConsoleControl control, bool visible) {
    if (QWidget* w = controlWidget(control)) {
        w->setVisible(visible);
    } else if (control == ConsoleControl::UpdateSeparators) {
        for (QAction* s : updateSeparators_)
            s->setVisible(visible);
    } else if (QAction* a = controlAction(control)) {
        a->setVisible(visible);
    }
}

ConsolePageWidget* TGetKeloM::page(ConsolePage kind) const {
    // The device page and the Modbus page are one tab here.
    if (kind == ConsolePage::Device) kind = ConsolePage::Modbus;
    for (ConsolePageWidget* p : pageList_)
        if (p->kind() == kind) return p;
    return nullptr;
}

void TGetKeloM::setPageVisible(ConsolePage kind, bool visible) {
    if (kind == ConsolePage::Device) return; // always shown
    if (ConsolePageWidget* p = page(kind)) tabs_->setTabVisible(tabs_->indexOf(p), visible);
}

void TGetKeloM::showPage(ConsolePage kind) {
    if (ConsolePageWidget* p = page(kind)) {
        tabs_->setTabVisible(tabs_->indexOf(p), true);
        tabs_->setCurrentWidget(p);
    }
}

ConsolePage TGetKeloM::frontPage() const {
    auto* p = qobject_cast<ConsolePageWidget*>(tabs_->currentWidget());
    return p ? p->kind() : ConsolePage::Modbus;
}

void TGetKeloM::setStatusText(const std::string& text) {
    status_->setText(QString::fromStdString(text));
}

void TGetKeloM::setConnectionStatus(const std::string& text, bool ok) {
    link_->setText(QString::fromStdString(text));
    link_->setStyleSheet(ok ? QString() : QStringLiteral("color: #b00000; font-weight: bold;"));
    // A reopen may block for seconds right after this: show it now.
    link_->repaint();
}

void TGetKeloM::setVersions(const std::string& software, const std::string& hardware) {
    modbus_->softwareVersion->setText(QString::fromStdString(software));
    modbus_->hardwareVersion->setText(QString::fromStdString(hardware));
}

void TGetKeloM::setUnitLabels(const std::string& unit) {
    const QString u = QString::fromStdString(unit);
    modbus_->setpointUnit->setText(u);
    signal_->powerUpUnit->setText(u);
    signal_->cutOffUnit->setText(u);
}

void TGetKeloM::setSetpointText(const std::string& text) {
    modbus_->setpointEdit->setText(QString::fromStdString(text));
}

bool TGetKeloM::setpointHasFocus() const {
    return modbus_->setpointEdit->hasFocus();
}

void TGetKeloM::setControlModeItems(const std::vector<std::string>& items) {
    const int keep = signal_->ModusBox->currentIndex();
    signal_->ModusBox->clear();
    for (const auto& s : items)
        signal_->ModusBox->addItem(QString::fromStdString(s));
    if (keep >= 0 && keep < signal_->ModusBox->count()) signal_->ModusBox->setCurrentIndex(keep);
}

void TGetKeloM::setPollingScope(bool allDevices) {
    (allDevices ? modbus_->allDevices : modbus_->singleDevice)->setChecked(true);
}

void TGetKeloM::setLoggerSettings(const LoggerSettings& s) {
    logger_->setSettings(s);
}
LoggerSettings TGetKeloM::loggerSettings() const {
    return logger_->settings();
}
void TGetKeloM::setLoggerStartStop(const DateTime& now) {
    logger_->setStartStop(now);
}
void TGetKeloM::setMixerNames(const std::vector<std::string>& names) {
    mixer_->setMixerNames(names);
}

void TGetKeloM::setGraphSize(int width, int height) {
    graphs_->setFlowGraphSize(width, height);
}
void TGetKeloM::graphSize(int& width, int& height) const {
    graphs_->flowGraphSize(width, height);
}
bool TGetKeloM::flowGraphShown() const {
    return graphs_ && graphs_->graphShown();
}

void TGetKeloM::showPressureLiveValues(const PressureLiveValues& values) {
    pressure_->showLiveValues(values);
}

void TGetKeloM::showAboutBox() {
    about_->show();
    about_->raise();
    about_->repaint();
}
void TGetKeloM::closeAboutBox() {
    about_->hide();
}

QAction* TGetKeloM::action(const QString& objectName) const {
    return findChild<QAction*>(objectName);
}
QMenu* TGetKeloM::menu(const QString& objectName) const {
    return findChild<QMenu*>(objectName);
}

} // namespace getkelo
