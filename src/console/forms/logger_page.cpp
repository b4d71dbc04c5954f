#include "console/forms/logger_page.h"

#include "console/forms/component_texts.h"
#include "console/logging/data_logger.h"
#include "console/text_source.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <cstdio>

namespace getkelo {

static QHBoxLayout* timeRow(QWidget* parent, std::array<QLineEdit*, 5>& fields) {
    auto* row = new QHBoxLayout;
    const int widths[5] = {28, 28, 44, 28, 28};
    const char* seps[5] = {".", ".", "  ", ":", ""};
    for (int i = 0; i < 5; ++i) {
        fields[i] = new QLineEdit(parent);
        fields[i]->setFixedWidth(widths[i]);
        fields[i]->setMaxLength(i == 2 ? 4 : 2);
        row->addWidget(fields[i]);
        if (*seps[i]) row->addWidget(new QLabel(seps[i], parent));
    }
    row->addStretch();
    return row;
}

static void readClock(const std::array<QLineEdit*, 5>& f, bool enabled, LogClockTime& t) {
    t.enabled = enabled;
    t.day = f[0]->text().toInt();
    t.month = f[1]->text().toInt();
    t.year = f[2]->text().toInt();
    t.hour = f[3]->text().toInt();
    t.minute = f[4]->text().toInt();
}

LoggerPage::LoggerPage(QWidget* parent)
    : ConsolePageWidget(ConsolePage::Logger, "Daten-Logger", parent) {
    markComponent(this, "LogSheet");
    auto* grid = new QGridLayout(this);

    auto* points = new QGroupBox("Datenpunkte", this);
    markComponent(points, "LogBox");
    auto* pl = new QVBoxLayout(points);
    auto* flow = new QCheckBox("Messwert", points);
    markComponent(flow, "FlowCheck");
    flow->setChecked(true);
    flow->setEnabled(false); // the flow is always logged
    SollCheck = new QCheckBox("Sollwert", points);
    TotalCheck = new QCheckBox("Total", points);
    TempCheck = new QCheckBox("Temperatur", points);
    VentilCheck = new QCheckBox("Ventilstellung", points);
    markComponent(SollCheck, "SollCheck");
    markComponent(TotalCheck, "TotalCheck");
    markComponent(TempCheck, "TempCheck");
    markComponent(VentilCheck, "VentilCheck");
    for (QCheckBox* c : {flow, SollCheck, TotalCheck, TempCheck, VentilCheck})
        pl->addWidget(c);

    auto* mode = new QGroupBox("Aufzeichnungsart", this);
    markComponent(mode, "LogGroup");
    auto* ml = new QGridLayout(mode);
    LogGroup[0] = new QRadioButton("Endlos", mode);
    LogGroup[1] = new QRadioButton("Zeilen / Datei:", mode);
    LogGroup[2] = new QRadioButton("Datei /", mode);
    for (int i = 0; i < 3; ++i)
        markComponent(LogGroup[i], QString("LogGroup%1").arg(i));
    ZeilenEdit = new QLineEdit("100", mode);
    ZeilenEdit->setFixedWidth(60);
    // Whole lines only: a fraction would be cut without a word.
    ZeilenEdit->setValidator(new QIntValidator(1, 1000000000, ZeilenEdit));
    DauerBox = new QComboBox(mode);
    DauerBox->setMinimumWidth(100);
    ml->addWidget(LogGroup[0], 0, 0);
    ml->addWidget(LogGroup[1], 1, 0);
    ml->addWidget(ZeilenEdit, 1, 1);
    ml->addWidget(LogGroup[2], 2, 0);
    ml->addWidget(DauerBox, 2, 1);
    LogGroup[0]->setChecked(true);

    auto* timing = new QGroupBox("Start / Stop", this);
    markComponent(timing, "AutoBox");
    auto* tl = new QGridLayout(timing);
    auto* interval = new QLabel("Intervall [s]", timing);
    markComponent(interval, "dZeitEdit");
    dZeitEdit = new QLineEdit("0", timing);
    dZeitEdit->setFixedWidth(60);
    // Seconds, with "," or "." before up to three decimals.
    dZeitEdit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(R"(\d{0,6}([.,]\d{0,3})?)"), dZeitEdit));
    StartCheck = new QCheckBox("Start", timing);
    StopCheck = new QCheckBox("Stop", timing);
    markComponent(StartCheck, "StartCheck");
    markComponent(StopCheck, "StopCheck");
    tl->addWidget(interval, 0, 0);
    tl->addWidget(dZeitEdit, 0, 1, Qt::AlignLeft);
    tl->addWidget(StartCheck, 1, 0);
    tl->addLayout(timeRow(timing, startFields), 1, 1);
    tl->addWidget(StopCheck, 2, 0);
    tl->addLayout(timeRow(timing, stopFields), 2, 1);

    auto* buttons = new QHBoxLayout;
    LogBtn = new QPushButton("Aufzeichnen", this);
    markComponent(LogBtn, "LogBtn");
    LogBtn->setCheckable(true);
    StopBtn = new QPushButton("Anhalten", this);
    markComponent(StopBtn, "StopBtn");
    directoryButton = new QPushButton("Arbeitsverzeichnis", this);
    markComponent(directoryButton, "DirBtn");
    buttons->addWidget(LogBtn);
    buttons->addWidget(StopBtn);
    buttons->addStretch();
    buttons->addWidget(directoryButton);

    recordingInfo = new QLabel(this);
    recordingInfo->setObjectName("RecordingInfo");
    recordingInfo->setTextInteractionFlags(Qt::TextSelectableByMouse);
    recordingInfo->setWordWrap(true);
    recordingInfo->setVisible(false);

    grid->addWidget(points, 0, 0);
    grid->addWidget(mode, 0, 1);
    grid->addWidget(timing, 0, 2);
    grid->addLayout(buttons, 1, 0, 1, 3);
    grid->addWidget(recordingInfo, 2, 0, 1, 3);
    grid->setRowStretch(3, 1);

    connect(LogBtn, &QPushButton::clicked, this, [this](bool down) {
        if (!logger_) return;
        if (down && !logger_->running()) {
            pull();
            logger_->recordClick();
        }
        refresh();
    });
    connect(StopBtn, &QPushButton::clicked, this, [this] {
        if (logger_) logger_->stopClick();
        refresh();
    });
}

void LoggerPage::attach(DataLogger* logger) {
    logger_ = logger;
    if (!logger_) return;
    pull();
    logger_->setChanged([this] { refresh(); });
    refresh();
}

QList<QWidget*> LoggerPage::settingControls() const {
    QList<QWidget*> w{SollCheck,  TotalCheck, TempCheck,  VentilCheck, dZeitEdit,
                      ZeilenEdit, DauerBox,   StartCheck, StopCheck,   directoryButton};
    for (auto* r : LogGroup)
        w << r;
    for (auto* f : startFields)
        w << f;
    for (auto* f : stopFields)
        w << f;
    return w;
}

void LoggerPage::pull() {
    if (!logger_) return;
    LogSettings& s = logger_->settings();
    const bool log = s.stored.log;
    s.stored = settings();
    s.stored.log = log;
    readClock(startFields, StartCheck->isChecked(), s.start);
    readClock(stopFields, StopCheck->isChecked(), s.stop);
}

void LoggerPage::refresh() {
    if (!logger_) return;
    const bool running = logger_->running();
    const LogSettings& s = logger_->settings();
    {
        QSignalBlocker b1(StartCheck), b2(StopCheck), b3(LogBtn);
        StartCheck->setChecked(s.start.enabled);
        StopCheck->setChecked(s.stop.enabled);
        LogBtn->setChecked(running);
    }
    for (QWidget* w : settingControls())
        w->setEnabled(!running);
    StopBtn->setEnabled(running);
    showRecording();
    if (running != wasRunning_) {
        wasRunning_ = running;
        emit runningChanged(running);
    }
}

void LoggerPage::showRecording() {
    const bool running = logger_ && logger_->running();
    if (!running) {
        if (recordingInfo->isVisible()) recordingInfo->setVisible(false);
        return;
    }
    const int64_t s = std::max<int64_t>(0, (logger_->clockNowMs() - logger_->startedMs()) / 1000);
    char elapsed[32];
    std::snprintf(elapsed, sizeof elapsed, "%02lld:%02lld:%02lld", static_cast<long long>(s / 3600),
                  static_cast<long long>(s / 60 % 60), static_cast<long long>(s % 60));
    QStringList lines;
    for (const std::string& path : logger_->openFilePaths())
        lines << fileText_ + " " + QString::fromStdString(path).toHtmlEscaped();
    lines << QString("%1 %2&nbsp;&nbsp;&nbsp;&nbsp;%3 %4")
                 .arg(linesText_)
                 .arg(logger_->linesWritten())
                 .arg(timeText_, elapsed);
    const QString text = lines.join("<br>");
    if (recordingInfo->text() != text) recordingInfo->setText(text);
    if (!recordingInfo->isVisible()) recordingInfo->setVisible(true);
}

void LoggerPage::applyLanguage(const TextSource& texts) {
    fileText_ = QString::fromStdString(textOr(texts, "LogStatusFile", "Datei:"));
    linesText_ = QString::fromStdString(textOr(texts, "LogStatusLines", "Zeilen:"));
    timeText_ = QString::fromStdString(textOr(texts, "LogStatusTime", "Laufzeit:"));
    const int keep = DauerBox->currentIndex();
    DauerBox->clear();
    for (int i = 0; i < 4; ++i)
        DauerBox->addItem(QString::fromStdString(texts.text("DauerBox" + std::to_string(i))));
    DauerBox->setCurrentIndex(keep >= 0 ? keep : 0);
}

void LoggerPage::setSettings(const LoggerSettings& s) {
    SollCheck->setChecked(s.sollCheck);
    TotalCheck->setChecked(s.totalCheck);
    TempCheck->setChecked(s.tempCheck);
    VentilCheck->setChecked(s.ventilCheck);
    dZeitEdit->setText(QString::fromStdString(s.dZeitEdit));
    if (s.logGroup >= 0 && s.logGroup < 3) LogGroup[s.logGroup]->setChecked(true);
    ZeilenEdit->setText(QString::fromStdString(s.zeilenEdit));
    if (s.dauerBox >= 0 && s.dauerBox < DauerBox->count()) DauerBox->setCurrentIndex(s.dauerBox);
    LogBtn->setChecked(s.log);
    if (logger_) {
        pull();
        // The record button state is the logger's: restored here, started by the console.
        logger_->settings().stored.log = logger_->running();
    }
}

LoggerSettings LoggerPage::settings() const {
    LoggerSettings s;
    s.sollCheck = SollCheck->isChecked();
    s.totalCheck = TotalCheck->isChecked();
    s.tempCheck = TempCheck->isChecked();
    s.ventilCheck = VentilCheck->isChecked();
    s.dZeitEdit = dZeitEdit->text().toStdString();
    for (int i = 0; i < 3; ++i)
        if (LogGroup[i]->isChecked()) s.logGroup = i;
    s.zeilenEdit = ZeilenEdit->text().toStdString();
    s.dauerBox = std::max(0, DauerBox->currentIndex());
    s.log = logger_ ? logger_->running() : LogBtn->isChecked();
    return s;
}

void LoggerPage::setStartStop(const DateTime& t) {
    const int values[5] = {t.day, t.month, t.year, t.hour, t.minute};
    for (int i = 0; i < 5; ++i) {
        char buf[8];
        std::snprintf(buf, sizeof buf, i == 2 ? "%04d" : "%02d", values[i]);
        startFields[i]->setText(buf);
        stopFields[i]->setText(buf);
    }
    if (logger_) pull();
}

} // namespace getkelo
