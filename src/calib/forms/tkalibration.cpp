#include "calib/forms/tkalibration.h"

#include "base/number_format.h"
#include "calib/analog_check.h"
#include "calib/forms/analog_page.h"
#include "calib/forms/tdatei.h"
#include "calib/forms/verification_page.h"
#include "calib/lut_adjustment.h"
#include "calib/reference_instruments.h"
#include "ui/ui_adapter.h"

#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

namespace getkelo {
namespace {

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

QLineEdit* edit(const char* name, const QString& text = {}) {
    auto* e = new QLineEdit(text);
    e->setObjectName(name);
    return e;
}

QPushButton* button(const char* name, const QString& caption) {
    auto* b = new QPushButton(caption);
    b->setObjectName(name);
    return b;
}

QChart* chartIn(QChartView*& view, const QString& xTitle, const QString& yTitle) {
    auto* chart = new QChart;
    chart->legend()->setAlignment(Qt::AlignBottom);
    auto* x = new QValueAxis;
    x->setTitleText(xTitle);
    auto* y = new QValueAxis;
    y->setTitleText(yTitle);
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    view = new QChartView(chart);
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumSize(320, 220);
    return chart;
}

QLineSeries* seriesIn(QChart* chart, const QString& name, bool rightAxis = false) {
    auto* s = new QLineSeries;
    s->setName(name);
    chart->addSeries(s);
    s->attachAxis(chart->axes(Qt::Horizontal).front());
    if (rightAxis && chart->axes(Qt::Vertical).size() < 2) {
        auto* y = new QValueAxis;
        y->setTitleText("valve");
        chart->addAxis(y, Qt::AlignRight);
    }
    s->attachAxis(chart->axes(Qt::Vertical)[rightAxis ? 1 : 0]);
    return s;
}

// Axes around what the series hold.
void refit(QChart* chart) {
    auto fit = [](QAbstractAxis* axis, const QList<QAbstractSeries*>& series, bool x) {
        double lo = 1e300, hi = -1e300;
        for (QAbstractSeries* a : series)
            if (a->attachedAxes().contains(axis))
                for (const QPointF& p : static_cast<QLineSeries*>(a)->points()) {
                    lo = std::min(lo, x ? p.x() : p.y());
                    hi = std::max(hi, x ? p.x() : p.y());
                }
        if (lo > hi) return;
        // At least 1 % of the value (a steady valve or flow is not magnified into noise).
        const double span = std::max(0.01 * std::max(std::fabs(lo), std::fabs(hi)), 1e-9);
        if (hi - lo < span) {
            const double mid = (hi + lo) / 2;
            lo = mid - span / 2;
            hi = mid + span / 2;
        }
        if (hi - lo < 1e-9) lo -= 0.5, hi += 0.5;
        const double pad = x ? 0 : (hi - lo) * 0.05;
        static_cast<QValueAxis*>(axis)->setRange(lo - pad, hi + pad);
    };
    for (QAbstractAxis* a : chart->axes(Qt::Horizontal))
        fit(a, chart->series(), true);
    for (QAbstractAxis* a : chart->axes(Qt::Vertical))
        fit(a, chart->series(), false);
}

} // namespace

TKalibration::TKalibration(CalibrationRun& run, LutAdjustment& adjust, UiAdapter& ui,
                           QWidget* parent)
    : QDialog(parent), run_(run), adjust_(adjust), ui_(ui) {
    setObjectName("Kalibration");
    setWindowTitle("Kalibration");
    auto* layout = new QVBoxLayout(this);
    Pages = new QTabWidget(this);
    Pages->addTab(settingsPage(), "Einstellungen");
    Pages->addTab(flowPage(), "Durchfluss");
    Pages->addTab(measurePage(), "Messung");
    Pages->addTab(computePage(), "Berechnen");
    ProtokollSheet = new VerificationPage(run_, ui_);
    Pages->addTab(ProtokollSheet, "Protokoll");
    layout->addWidget(Pages);
    Timer = new QTimer(this);
    Timer->setInterval(2000);
    connect(Timer, &QTimer::timeout, this, [this] { TimerTimer(); });
    connect(Pages, &QTabWidget::currentChanged, this, [this](int page) {
        if (page == 3) BerechnenSheetShow();
        if (Pages->widget(page) == ProtokollSheet) ProtokollSheet->ProtokollSheetShow();
    });
}

QWidget* TKalibration::settingsPage() {
    auto* page = new QWidget;
    auto* form = new QFormLayout(page);
    UserEdit = edit("UserEdit");
    KommentarEdit = edit("KommentarEdit");
    DatFile = new QLabel;
    DatFile->setObjectName("DatFile");
    form->addRow("Benutzer", UserEdit);
    form->addRow("Kommentar", KommentarEdit);
    form->addRow("Datei", DatFile);
    auto* buttons = new QHBoxLayout;
    auto* dir = button("BitBtn1", "Arbeitsverzeichnis");
    auto* flow = button("Button2", "Durchfluss");
    buttons->addWidget(dir);
    buttons->addWidget(flow);
    Button4 = button("Button4", "Analog I/O");
    Button4->setEnabled(false); // until the analog page is there
    buttons->addWidget(Button4);
    buttons->addStretch();
    form->addRow(buttons);
    connect(dir, &QPushButton::clicked, this, [this] {
        if (auto folder = ui_.chooseFolder("Arbeitsverzeichnis", "")) {
            run_.setDataFolder(*folder);
            DatFile->setText(qs(run_.dataFile()));
        }
    });
    connect(flow, &QPushButton::clicked, this, [this] {
        loadReferences();
        Pages->setCurrentIndex(1);
    });
    return page;
}

void TKalibration::setAnalogCheck(AnalogCheck& check) {
    if (AnalogSheet) return;
    AnalogSheet = new AnalogPage(check);
    AnalogSheet->beforeAction = [this, &check] {
        check.setDataFile(run_.dataFile());
        check.setOperator(UserEdit->text().toStdString(), KommentarEdit->text().toStdString());
    };
    const int page = Pages->addTab(AnalogSheet, "Analog I/O");
    connect(Button4, &QPushButton::clicked, this, [this, page] { Pages->setCurrentIndex(page); });
    connect(Pages, &QTabWidget::currentChanged, this, [this, page](int shown) {
        if (shown == page) AnalogSheet->AnalogSheetShow();
    });
    Button4->setEnabled(true);
}

QWidget* TKalibration::flowPage() {
    auto* page = new QWidget;
    auto* layout = new QHBoxLayout(page);
    auto* form = new QFormLayout;
    SetTempEdit = edit("SetTempEdit", "23");
    RefUnit = new QComboBox;
    RefUnit->setObjectName("RefUnit");
    RefUnit->addItems(
        {"mln/min", "ln/min", "ln/h", "m3n/h", "mls/min", "ls/min", "ls/h", "m3s/h", "sccm"});
    RefUnit->setCurrentText("ln/min");
    GasBox = new QComboBox;
    GasBox->setObjectName("GasBox");
    GasBox->setEditable(true);
    GasBox->addItems({"N2", "Air", "Ar", "CO2", "He", "H2", "O2", "CH4"});
    DruckEdit = edit("DruckEdit", "0");
    LabeledEdit1 = edit("LabeledEdit1", "1013");
    KeloCheck = new QCheckBox("kel-o tesra Regler");
    KeloCheck->setObjectName("KeloCheck");
    ControlBox = new QSpinBox;
    ControlBox->setObjectName("ControlBox");
    ControlBox->setRange(1, 247);
    RefAddressBox = new QSpinBox;
    RefAddressBox->setObjectName("RefAddressBox");
    RefAddressBox->setRange(0, 247);
    RefAddressBox->setSpecialValueText("-");
    form->addRow("Umg. Temperatur [°C]", SetTempEdit);
    form->addRow("Referenz-Einheit", RefUnit);
    form->addRow("Gas", GasBox);
    form->addRow("Kalibrierdruck [bar ü]", DruckEdit);
    form->addRow("Atm. Druck [mbar a]", LabeledEdit1);
    form->addRow(KeloCheck, ControlBox);
    form->addRow("Referenz am Bus", RefAddressBox);
    auto* modus = new QGroupBox("Modus");
    modus->setObjectName("ModusGroup");
    auto* modusLayout = new QVBoxLayout(modus);
    ModusCheck = new QRadioButton("Überprüfung");
    ModusAdjust = new QRadioButton("Justierung");
    ModusCheck->setChecked(true);
    modusLayout->addWidget(ModusCheck);
    modusLayout->addWidget(ModusAdjust);
    form->addRow(modus);
    layout->addLayout(form);

    auto* right = new QVBoxLayout;
    RefList = new QTableWidget(4, 4);
    RefList->setObjectName("RefList");
    RefList->setHorizontalHeaderLabels({"Nr.", "Typ", "Serien-Nr.", "Zertifikat"});
    RefList->verticalHeader()->hide();
    for (int r = 0; r < 3; ++r)
        RefList->setItem(r, 0, new QTableWidgetItem(QString("U%1").arg(r + 1)));
    right->addWidget(new QLabel("Referenzen"));
    right->addWidget(RefList);
    StartBtn = button("StartBtn", "Weiter");
    right->addWidget(StartBtn, 0, Qt::AlignRight);
    layout->addLayout(right);
    connect(StartBtn, &QPushButton::clicked, this, [this] { StartBtnClick(); });
    return page;
}

QWidget* TKalibration::measurePage() {
    auto* page = new QWidget;
    auto* layout = new QHBoxLayout(page);
    auto* left = new QFormLayout;
    FlowEdit = edit("FlowEdit");
    FlowEdit->setReadOnly(true);
    FlowLabel = new QLabel("Fluss");
    SollwertEdit = edit("SollwertEdit", "0");
    SollOKBtn = button("SollOKBtn", "Übernehmen");
    MittelwertEdit = edit("MittelwertEdit");
    MittelwertEdit->setReadOnly(true);
    RefBox = new QComboBox;
    RefBox->setObjectName("RefBox");
    MessenBtn = button("MessenBtn", "Übernehmen");
    RstGraph = button("RstGraph", "Graph Löschen");
    DataSaveBtn = button("DataSaveBtn", "Abspeichern");
    DataSaveBtn->setEnabled(false);
    left->addRow(FlowLabel, FlowEdit);
    auto* sp = new QHBoxLayout;
    sp->addWidget(SollwertEdit);
    sp->addWidget(SollOKBtn);
    left->addRow("Sollwert", sp);
    left->addRow("Mittelwert", MittelwertEdit);
    left->addRow("Benutzte Referenz", RefBox);
    auto* take = new QHBoxLayout;
    take->addWidget(MessenBtn);
    take->addWidget(RstGraph);
    left->addRow(take);
    WerteGrid = new QTableWidget(kMaxSteps, 3);
    WerteGrid->setObjectName("WerteGrid");
    WerteGrid->setHorizontalHeaderLabels({"Ref.", "Referenz", "Prüfling"});
    WerteGrid->setMinimumHeight(220);
    left->addRow(WerteGrid);
    left->addRow(DataSaveBtn);
    layout->addLayout(left);
    QChartView* view = nullptr;
    flowChart_ = chartIn(view, "t [s]", "Fluss");
    gasflow = seriesIn(flowChart_, "Gasflow");
    valve = seriesIn(flowChart_, "valve", true);
    layout->addWidget(view, 1);

    connect(SollOKBtn, &QPushButton::clicked, this,
            [this] { run_.SollOKBtnClick(SollwertEdit->text().toStdString()); });
    connect(MessenBtn, &QPushButton::clicked, this, [this] { MessenBtnClick(); });
    connect(RstGraph, &QPushButton::clicked, this, [this] {
        run_.RstGraphClick();
        gasflow->clear();
        valve->clear();
        t0_ = -1;
    });
    connect(DataSaveBtn, &QPushButton::clicked, this, [this] { DataSaveBtnClick(); });
    connect(WerteGrid, &QTableWidget::cellChanged, this, [this](int row, int column) {
        if (!filling_)
            run_.setCell(row, column, WerteGrid->item(row, column)->text().toStdString());
    });
    return page;
}

QWidget* TKalibration::computePage() {
    auto* page = new QWidget;
    auto* layout = new QHBoxLayout(page);
    auto* form = new QFormLayout;
    Datei1 = new TDatei;
    Datei1->setObjectName("Datei1");
    Datei1->Label->setText("Messdaten I");
    RangeEdit = edit("RangeEdit");
    LabeledEdit2 = edit("LabeledEdit2", "0.018");
    CheckBox3 = new QCheckBox("Teilbereich:");
    CheckBox3->setObjectName("CheckBox3");
    LabeledEdit3 = edit("LabeledEdit3", "0");
    LabeledEdit4 = edit("LabeledEdit4", "3.4e38");
    LabeledEdit3->setEnabled(false);
    LabeledEdit4->setEnabled(false);
    IdentLabel = new QLabel;
    IdentLabel->setObjectName("IdentLabel");
    LookupBtn = button("LookupBtn", "Berechnen");
    form->addRow(Datei1);
    form->addRow("Endwert", RangeEdit);
    form->addRow("LuT-Ende", LabeledEdit2);
    form->addRow(CheckBox3);
    form->addRow("Start", LabeledEdit3);
    form->addRow("Stopp", LabeledEdit4);
    form->addRow("Aktive Tabelle", IdentLabel);
    form->addRow(LookupBtn);
    layout->addLayout(form);
    auto* charts = new QVBoxLayout;
    QChartView *v1 = nullptr, *v2 = nullptr;
    deviationChart_ = chartIn(v1, "Flow Reference", "%");
    deviation = seriesIn(deviationChart_, "DATA");
    deviation->setPointsVisible(true);
    tableChart_ = chartIn(v2, "Ticks", "Flow");
    tableBefore = seriesIn(tableChart_, "Flow (0 Ticks)");
    tableAfter = seriesIn(tableChart_, "neu");
    charts->addWidget(v1);
    charts->addWidget(v2);
    layout->addLayout(charts, 1);
    connect(CheckBox3, &QCheckBox::toggled, this, [this](bool on) {
        LabeledEdit3->setEnabled(on);
        LabeledEdit4->setEnabled(on);
    });
    connect(LookupBtn, &QPushButton::clicked, this, [this] { LookupBtnClick(); });
    return page;
}

void TKalibration::FormShow(const CalibrationDevice& device, const DataFileRoot& root) {
    run_.FormShow(device, root);
    DatFile->setText(qs(run_.dataFile()));
    GasBox->setCurrentText(qs(device.gas));
    ControlBox->setValue(device.address);
    showGrid();
    ProtokollSheet->FormShow(root);
}

void TKalibration::setReferenceFile(const std::string& path) {
    referenceIni_ = path;
    ProtokollSheet->setReferenceFile(path);
}

void TKalibration::loadReferences() {
    if (referenceIni_.empty()) return;
    for (const ReferenceInstrument& r : readReferenceInstruments(referenceIni_)) {
        if (r.empty()) continue;
        const std::string cells[3] = {r.type, r.serial, r.certificate};
        for (int c = 0; c < 3; ++c)
            RefList->setItem(r.number - 1, c + 1, new QTableWidgetItem(qs(cells[c])));
    }
}

RunSettings TKalibration::settings() const {
    RunSettings s;
    s.setTemp = SetTempEdit->text().toStdString();
    s.refUnit = RefUnit->currentText().toStdString();
    s.gas = GasBox->currentText().toStdString();
    s.calibPressure = DruckEdit->text().toStdString();
    s.ambientPressure = LabeledEdit1->text().toStdString();
    s.useController = KeloCheck->isChecked();
    s.controllerAddress = ControlBox->value();
    s.mode = ModusAdjust->isChecked() ? 1 : 0;
    s.referenceAddress = RefAddressBox->value();
    s.operatorName = UserEdit->text().toStdString();
    s.remark = KommentarEdit->text().toStdString();
    return s;
}

void TKalibration::StartBtnClick() {
    if (!run_.StartBtnClick(settings())) return;
    RefBox->clear();
    for (int r = 0; r < RefList->rowCount(); ++r) {
        QStringList cells;
        for (int c = 1; c < RefList->columnCount(); ++c)
            if (RefList->item(r, c)) cells << RefList->item(r, c)->text();
        if (!cells.join("").isEmpty())
            RefBox->addItem(QString("Referenz %1: %2").arg(r + 1).arg(cells.join(" ")));
    }
    if (RefBox->count() == 0) RefBox->addItem("Referenz 1: ");
    FlowLabel->setText(qs("Fluss [" + run_.flowUnit() + "]"));
    LabeledEdit3->setText("0");
    LabeledEdit4->setText(qs(run_.fullScaleText()));
    DataSaveBtn->setEnabled(true);
    gasflow->clear();
    valve->clear();
    t0_ = -1;
    showGrid();
    Pages->setCurrentIndex(2);
    Timer->start();
}

void TKalibration::TimerTimer() {
    Timer->stop(); // no second tick while the bus is busy
    const RunSample s = run_.TimerTimer();
    if (t0_ < 0) t0_ = s.tMs;
    const double t = (s.tMs - t0_) / 1000.0;
    FlowEdit->setText(s.flowRead ? qs(formatGeneral(s.flow, 7)) : "Fehler");
    if (s.flowRead) gasflow->append(t, s.flow);
    valve->append(t, s.valve);
    MittelwertEdit->setText(qs(formatGeneral(s.mean, 7)));
    refit(flowChart_);
    if (run_.running()) Timer->start();
}

void TKalibration::MessenBtnClick() {
    const int row = run_.MessenBtnClick(RefBox->currentIndex() + 1);
    showGrid();
    if (row >= 0) WerteGrid->setCurrentCell(std::min(row + 1, kMaxSteps - 1), 2);
}

void TKalibration::DataSaveBtnClick() {
    Timer->stop();
    const std::string section = run_.DataSaveBtnClick();
    showGrid();
    if (section.empty()) {
        if (run_.running()) Timer->start();
        return;
    }
    if (run_.settings().mode != 0)
        Pages->setCurrentIndex(3);
    else
        Pages->setCurrentWidget(ProtokollSheet); // a check run goes on to its charts
}

void TKalibration::showGrid() {
    filling_ = true;
    const auto& rows = run_.rows();
    for (int r = 0; r < kMaxSteps; ++r) {
        const StepRow row = r < static_cast<int>(rows.size()) ? rows[r] : StepRow{};
        const std::string cells[3] = {row.refNo, row.refFlow, row.deviceFlow};
        for (int c = 0; c < 3; ++c)
            WerteGrid->setItem(r, c, new QTableWidgetItem(qs(cells[c])));
    }
    filling_ = false;
}

void TKalibration::BerechnenSheetShow() {
    Datei1->FillDataSetChooser({run_.dataFile(), "DATA", "Mode", "Just", "Date", "Gas", "LutID"});
    RangeEdit->setText(qs(run_.fullScaleText()));
    IdentLabel->setText(qs(adjust_.activeIdentity()));
}

void TKalibration::LookupBtnClick() {
    LutAdjustmentRequest rq;
    rq.file = run_.dataFile();
    rq.dataSection = Datei1->chosenSection();
    parseNumber(LabeledEdit2->text().toStdString(), rq.endStep);
    if (CheckBox3->isChecked()) {
        parseNumber(LabeledEdit3->text().toStdString(), rq.start);
        parseNumber(LabeledEdit4->text().toStdString(), rq.stop);
    }
    if (rq.dataSection.empty()) return;
    const LutAdjustmentResult r = adjust_.LookupBtnClick(rq);
    deviation->clear();
    tableBefore->clear();
    tableAfter->clear();
    for (const auto& [flow, percent] : r.correction.errors)
        deviation->append(flow, percent);
    for (int k = 0; k < kLutEntries; ++k) {
        tableBefore->append(k, r.before[k]);
        if (r.written) tableAfter->append(k, r.correction.table[k]);
    }
    refit(deviationChart_);
    refit(tableChart_);
    IdentLabel->setText(qs(adjust_.activeIdentity()));
}

void TKalibration::closeEvent(QCloseEvent* event) {
    Timer->stop();
    if (!run_.FormClose()) {
        event->ignore();
        if (run_.running()) Timer->start();
        return;
    }
    event->accept();
}

} // namespace getkelo
