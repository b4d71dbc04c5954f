#include "console/forms/tbus_monitor.h"

#include "console/forms/bus_monitor_model.h"
#include "console/forms/component_texts.h"
#include "console/text_source.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QVBoxLayout>

namespace getkelo {

namespace {

// Painting rows of text is what the window costs; twice a second keeps it small.
constexpr int kRefreshMs = 500;

} // namespace

TBusMonitor::TBusMonitor(TComm& comm, UiAdapter& ui, std::function<std::string()> saveFolder,
                         QWidget* parent)
    : QDialog(parent), ui_(ui), saveFolder_(std::move(saveFolder)), monitor_(comm) {
    markComponent(this, "BusMonitor");
    setWindowTitle("Busmonitor");
    setModal(false);
    resize(1100, 520);

    auto* layout = new QVBoxLayout(this);
    auto* bar = new QHBoxLayout;
    pauseButton = new QPushButton("Anhalten", this);
    markComponent(pauseButton, "BusMonitorPause");
    pauseButton->setCheckable(true);
    auto* slaveLabel = new QLabel("Slave:", this);
    markComponent(slaveLabel, "BusMonitorSlave");
    slaveFilter = new QSpinBox(this);
    slaveFilter->setObjectName("BusMonitorSlaveFilter");
    slaveFilter->setRange(0, 247);
    slaveFilter->setSpecialValueText("alle");
    slaveFilter->setMinimumWidth(70);
    failuresOnly = new QCheckBox("Nur Fehler", this);
    markComponent(failuresOnly, "BusMonitorFailures");
    saveButton = new QPushButton("Speichern...", this);
    markComponent(saveButton, "BusMonitorSave");
    clearButton = new QPushButton("Leeren", this);
    markComponent(clearButton, "BusMonitorClear");
    for (QPushButton* b : {pauseButton, saveButton, clearButton})
        b->setAutoDefault(false);
    bar->addWidget(pauseButton);
    bar->addSpacing(12);
    bar->addWidget(slaveLabel);
    bar->addWidget(slaveFilter);
    bar->addSpacing(12);
    bar->addWidget(failuresOnly);
    bar->addStretch();
    bar->addWidget(clearButton);
    bar->addWidget(saveButton);
    layout->addLayout(bar);

    model_ = new BusMonitorModel(monitor_, this);
    model_->setHeaders({"Zeit", "Richtung", "Bytes", "Ergebnis", "Bedeutung"});
    table = new QTableView(this);
    table->setObjectName("BusMonitorTable");
    table->setModel(model_);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setWordWrap(false);
    table->verticalHeader()->setVisible(false);
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->verticalHeader()->setDefaultSectionSize(20);
    table->horizontalHeader()->setStretchLastSection(true);
    table->setColumnWidth(BusMonitorModel::Time, 104);
    table->setColumnWidth(BusMonitorModel::Direction, 76);
    table->setColumnWidth(BusMonitorModel::Bytes, 300);
    table->setColumnWidth(BusMonitorModel::Result, 130);
    layout->addWidget(table, 1);
    details = new QPlainTextEdit(this);
    details->setObjectName("BusMonitorDetails");
    details->setReadOnly(true);
    details->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    details->setFixedHeight(details->fontMetrics().lineSpacing() * 4 + 10);
    layout->addWidget(details);
    connect(table->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                details->setPlainText(QString::fromStdString(
                    monitor_.rowLine(current.isValid() ? current.row() : -1)));
            });

    connect(pauseButton, &QPushButton::toggled, this, [this](bool on) { monitor_.setPaused(on); });
    connect(slaveFilter, &QSpinBox::valueChanged, this, [this](int slave) {
        monitor_.setSlaveFilter(slave);
        refresh();
    });
    connect(failuresOnly, &QCheckBox::toggled, this, [this](bool on) {
        monitor_.setFailuresOnly(on);
        refresh();
    });
    connect(clearButton, &QPushButton::clicked, this, [this] {
        monitor_.clear();
        refresh();
    });
    connect(saveButton, &QPushButton::clicked, this, [this] {
        refresh();
        monitor_.saveAs(ui_, windowTitle().toStdString(), saveFolder_ ? saveFolder_() : "",
                        saveErrorText_);
    });
    timer_.setInterval(kRefreshMs);
    connect(&timer_, &QTimer::timeout, this, [this] { refresh(); });
}

TBusMonitor::~TBusMonitor() {
    monitor_.close();
}

void TBusMonitor::applyLanguage(const TextSource& texts) {
    QStringList headers;
    for (const char* key : {"BusMonitorTime", "BusMonitorDirection", "BusMonitorBytes",
                            "BusMonitorResult", "BusMonitorMeaning"})
        headers << QString::fromStdString(texts.text(key));
    model_->setHeaders(headers);
    slaveFilter->setSpecialValueText(QString::fromStdString(texts.text("BusMonitorAllSlaves")));
    saveErrorText_ = texts.text("BusMonitorSaveError");
}

void TBusMonitor::refresh() {
    QScrollBar* bar = table->verticalScrollBar();
    const bool atEnd = bar->value() >= bar->maximum();
    if (model_->update() && atEnd) table->scrollToBottom();
}

void TBusMonitor::showEvent(QShowEvent* e) {
    monitor_.open();
    refresh();
    timer_.start();
    QDialog::showEvent(e);
}

void TBusMonitor::hideEvent(QHideEvent* e) {
    timer_.stop();
    monitor_.close();
    QDialog::hideEvent(e);
}

} // namespace getkelo
