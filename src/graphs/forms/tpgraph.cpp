#include "graphs/forms/tpgraph.h"

#include "graphs/forms/graph_texts.h"
#include "graphs/forms/live_chart_view.h"
#include "graphs/forms/tuning_box.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QSignalBlocker>

namespace getkelo {

namespace {
// A component key: the language file's text, empty when it has none.
QString componentText(const TextSource& texts, const char* key) {
    return QString::fromStdString(texts.text(key));
}
} // namespace

TPGraph::TPGraph(PressureGraph& logic, UiAdapter& ui, QWidget* parent)
    : GraphWindow(logic, ui, "PGraph", parent), pressure_(logic) {
    grhPressure = chartView();
    grhPressure->setSeriesNames("Pressure", "Setpoint", "Valve PWM");
    grhPressure->setAxisTitles("pressure", "valve");
    btnClearGraph = ClearButton;
    btnClearGraph->setObjectName("btnClearGraph");
    btnClearGraph->setText("Graph Löschen");
    measuredLabel()->setText("Druck");
    valveEdit()->setReadOnly(true);

    parameters = new TuningBox("Regler",
                               {{"Kp", "txtKp", "barKp"},
                                {"Ki", "txtKi", "barKi"},
                                {"Kd", "txtKd", "barKd"},
                                {"N", "txtN", "barN"}},
                               this);
    parameters->setObjectName("gbxParameters");
    auto* setRow = new QHBoxLayout;
    setRow->setSpacing(8);
    lblControlSet = new QLabel("Regelparameter", parameters);
    lblControlSet->setObjectName("lblControlSet");
    cmbControlSet = new QComboBox(parameters);
    cmbControlSet->setObjectName("cmbControlSet");
    for (int i = 1; i <= 5; ++i)
        cmbControlSet->addItem(QString("Set %1").arg(i));
    btnSave = new QPushButton("Übernehmen", parameters);
    btnSave->setObjectName("btnSave");
    setRow->addWidget(lblControlSet);
    setRow->addWidget(cmbControlSet);
    setRow->addStretch(1);
    setRow->addWidget(btnSave);
    static_cast<QGridLayout*>(parameters->layout())->addLayout(setRow, parameters->rows(), 0, 1, 3);
    setTuningBox(parameters);
    panel()->insertWidget(0, parameters);

    setBox_ = new QGroupBox("Sollwert", this);
    auto* box = new QGridLayout(setBox_);
    box->setContentsMargins(4, 4, 4, 4);
    lblSetpoint = new QLabel("Sollwert", setBox_);
    lblSetpoint->setObjectName("lblSetpoint");
    txtSetpoint = new QLineEdit(setBox_);
    txtSetpoint->setObjectName("txtSetpoint");
    btnSaveSetpoint = new QPushButton("Übernehmen", setBox_);
    btnSaveSetpoint->setObjectName("btnSaveSetpoint");
    SetList = new QListWidget(setBox_);
    SetList->setObjectName("SetList");
    SetList->setFixedHeight(6 * SetList->fontMetrics().height() + 8);
    pModeLabel_ = new QLabel("Druckregelmodus", setBox_);
    cmbPControlMode = new QComboBox(setBox_);
    cmbPControlMode->setObjectName("cmbPControlMode");
    modeLabel_ = new QLabel("Regelmodus", setBox_);
    cmbControlMode = new QComboBox(setBox_);
    cmbControlMode->setObjectName("cmbControlMode");
    box->addWidget(lblSetpoint, 0, 0);
    box->addWidget(txtSetpoint, 0, 1);
    box->addWidget(btnSaveSetpoint, 0, 2);
    box->addWidget(SetList, 1, 0, 1, 3);
    box->addWidget(pModeLabel_, 2, 0);
    box->addWidget(cmbPControlMode, 2, 1, 1, 2);
    box->addWidget(modeLabel_, 3, 0);
    box->addWidget(cmbControlMode, 3, 1, 1, 2);
    panel()->addWidget(setBox_);
    panel()->addStretch(1);
    for (int i = 0; i < 3; ++i)
        cmbPControlMode->addItem(QString("Druckmodus %1").arg(i));
    cmbControlMode->addItems({"Druckregelung digital", "Druckregelung analog"});

    connect(cmbControlSet, &QComboBox::activated, this, [this](int index) {
        Busy busy(*this);
        pressure_.cmbControlSetChange(index);
        showParameters();
    });
    connect(btnSave, &QPushButton::clicked, this, [this] {
        Busy busy(*this);
        pressure_.btnSaveClick();
        showParameters();
    });
    connect(btnSaveSetpoint, &QPushButton::clicked, this, [this] {
        Busy busy(*this);
        btnSaveSetpoint->setEnabled(false);
        const std::string shown = pressure_.btnSaveSetpointClick(txtSetpoint->text().toStdString());
        if (!shown.empty()) txtSetpoint->setText(QString::fromStdString(shown));
        btnSaveSetpoint->setEnabled(true);
    });
    connect(txtSetpoint, &QLineEdit::returnPressed, btnSaveSetpoint, &QPushButton::click);
    connect(SetList, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        Busy busy(*this);
        pressure_.SetListClick(SetList->row(item));
    });
    connect(cmbPControlMode, &QComboBox::activated, this, [this](int index) {
        Busy busy(*this);
        pressure_.cmbPControlModeSelect(index);
    });
    connect(cmbControlMode, &QComboBox::activated, this, [this](int index) {
        {
            Busy busy(*this);
            pressure_.cmbControlModeSelect(index);
        }
        showPrepared();
    });
}

void TPGraph::applyLanguage(const TextSource& texts) {
    GraphWindow::applyLanguage(texts);
    // The component keys the language file names for this window.
    lblControlSet->setText(componentText(texts, "lblControlSet"));
    btnSave->setText(componentText(texts, "btnSave"));
    btnSaveSetpoint->setText(componentText(texts, "btnSaveSetpoint"));
    lblSetpoint->setText(componentText(texts, "txtSetpoint"));
    parameters->setTitle(caption(texts, "ReglerBox", "Regler"));
    setBox_->setTitle(caption(texts, "SetList", "Sollwert"));
    btnClearGraph->setText(caption(texts, "RstGraph", "Graph Löschen"));
    measuredLabel()->setText(caption(texts, "PressureLabel", "Druck"));
    pModeLabel_->setText(caption(texts, "cmbPControlMode", "Druckregelmodus"));
    modeLabel_->setText(caption(texts, "GModusBox", "Regelmodus"));
    for (int i = 0; i < 3; ++i) {
        const std::string key = "cmbPControlMode" + std::to_string(i);
        const std::string t = texts.text(key);
        if (!t.empty()) cmbPControlMode->setItemText(i, QString::fromStdString(t));
    }
    for (int i = 0; i < 2; ++i) {
        const std::string t = texts.text("ModusBox" + std::to_string(8 + i));
        if (!t.empty()) cmbControlMode->setItemText(i, QString::fromStdString(t));
    }
}

void TPGraph::showPrepared() {
    {
        const QSignalBlocker block(SetList);
        SetList->clear();
        for (const SetpointStep& s : pressure_.setList()) {
            auto* item = new QListWidgetItem(QString::fromStdString(s.text), SetList);
            if (!s.fraction) item->setFlags(Qt::NoItemFlags);
        }
    }
    const QSignalBlocker b1(cmbControlSet), b2(cmbPControlMode), b3(cmbControlMode);
    cmbControlSet->setCurrentIndex(pressure_.setIndex());
    cmbPControlMode->setCurrentIndex(pressure_.pressureMode());
    cmbControlMode->setCurrentIndex(pressure_.controlMode() == 5   ? 0
                                    : pressure_.controlMode() == 6 ? 1
                                                                   : -1);
}

} // namespace getkelo
