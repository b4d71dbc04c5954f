#include "graphs/forms/tgraph.h"

#include "console/control_mode.h"
#include "graphs/forms/graph_texts.h"
#include "graphs/forms/live_chart_view.h"
#include "graphs/forms/tuning_box.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>

namespace getkelo {

TGraph::TGraph(FlowGraph& logic, UiAdapter& ui, QWidget* parent)
    : GraphWindow(logic, ui, "Graph", parent), flow_(logic) {
    Graph = chartView();
    Graph->setSeriesNames("Gasflow", "Setpoint", "Valve PWM");
    Graph->setAxisTitles("flow", "valve");
    FlowEdit = measuredEdit();
    FlowEdit->setObjectName("FlowEdit");
    PWMEdit = valveEdit();
    PWMEdit->setObjectName("PWMEdit");
    RstGraph = ClearButton;
    RstGraph->setObjectName("RstGraph");
    RstGraph->setText("Graph Löschen");
    measuredLabel()->setText("Durchfluss");

    // Pause and pressure beside the live fields.
    pressureLabel_ = new QLabel("Druck", this);
    PressureEdit = new QLineEdit(this);
    PressureEdit->setObjectName("PressureEdit");
    PressureEdit->setReadOnly(true);
    PressureEdit->setMaximumWidth(110);
    pauseLabel_ = new QLabel("Pause", this);
    PauseEdit = new QLineEdit("100", this);
    PauseEdit->setObjectName("PauseEdit");
    PauseEdit->setMaximumWidth(50);
    fields()->insertWidget(5, pressureLabel_);
    fields()->insertWidget(6, PressureEdit);
    fields()->insertWidget(7, pauseLabel_);
    fields()->insertWidget(8, PauseEdit);

    ReglerBox = new TuningBox("Regler",
                              {{"P", "PEdit", "PBar"},
                               {"I", "IEdit", "IBar"},
                               {"S", "DEdit", "DBar"},
                               {"N", "NEdit", "NBar"},
                               {"F", "FEdit", "FBar"}},
                              this);
    ReglerBox->setObjectName("ReglerBox");
    auto* setRow = new QHBoxLayout;
    setRow->setSpacing(8);
    pidLabel_ = new QLabel("Parametersatz", ReglerBox);
    PIDBox = new QComboBox(ReglerBox);
    PIDBox->setObjectName("PIDBox");
    for (int i = 1; i <= 5; ++i)
        PIDBox->addItem(QString("Set %1").arg(i));
    ChangePID = new QPushButton("Übernehmen", ReglerBox);
    ChangePID->setObjectName("ChangePID");
    setRow->addWidget(pidLabel_);
    setRow->addWidget(PIDBox);
    setRow->addStretch(1);
    setRow->addWidget(ChangePID);
    auto* grid = static_cast<QGridLayout*>(ReglerBox->layout());
    grid->addLayout(setRow, ReglerBox->rows(), 0, 1, 3);
    setTuningBox(ReglerBox);
    panel()->insertWidget(0, ReglerBox);

    setBox_ = new QGroupBox("Sollwert", this);
    auto* setLayout = new QVBoxLayout(setBox_);
    setLayout->setContentsMargins(4, 4, 4, 4);
    SetList = new QListWidget(setBox_);
    SetList->setObjectName("SetList");
    SetList->setFixedHeight(9 * SetList->fontMetrics().height() + 8);
    setLayout->addWidget(SetList);
    auto* modeRow = new QHBoxLayout;
    modeLabel_ = new QLabel("Regelmodus", setBox_);
    GModusBox = new QComboBox(setBox_);
    GModusBox->setObjectName("GModusBox");
    modeRow->addWidget(modeLabel_);
    modeRow->addWidget(GModusBox, 1);
    setLayout->addLayout(modeRow);
    panel()->addWidget(setBox_);
    panel()->addStretch(1);
    fillModes(nullptr);

    connect(PIDBox, &QComboBox::activated, this, [this](int index) {
        Busy busy(*this);
        flow_.PIDBoxChange(index);
        showParameters();
    });
    connect(ChangePID, &QPushButton::clicked, this, [this] {
        Busy busy(*this);
        flow_.ChangePIDClick();
        showParameters();
    });
    connect(SetList, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        Busy busy(*this);
        flow_.SetListChange(SetList->row(item));
    });
    // Typing holds the plot; leaving the edit or Enter writes the valve drive.
    connect(PWMEdit, &QLineEdit::textEdited, this, [this] { timer()->stop(); });
    connect(PWMEdit, &QLineEdit::editingFinished, this, [this] {
        flow_.PWMEditExit(PWMEdit->text().toStdString());
        PWMEdit->selectAll();
        if (isVisible()) timer()->start();
    });
    connect(PauseEdit, &QLineEdit::textEdited, this,
            [this](const QString& t) { flow_.PauseEditChange(t.toStdString()); });
    connect(GModusBox, &QComboBox::activated, this, [this](int index) {
        {
            Busy busy(*this);
            flow_.GModusBoxSelect(index);
        }
        GModusBox->setStyleSheet("QComboBox { background-color: #FFFBF0; }");
        showPrepared();
        showParameters();
    });
}

void TGraph::fillModes(const TextSource* texts) {
    const QSignalBlocker block(GModusBox);
    const int keep = GModusBox->currentIndex();
    GModusBox->clear();
    for (int i = 0; i < kGraphModeEntries; ++i) {
        QString text = QString("Modus %1").arg(graphModeCode(i));
        if (texts) {
            // The console's mode texts name the same codes; code 30 has its own key.
            const std::string key =
                i < 8 ? "ModusBox" + std::to_string(i) : std::string("GModusBox8");
            const std::string t = texts->text(key);
            if (!t.empty()) text = QString::fromStdString(t);
        }
        GModusBox->addItem(text);
    }
    GModusBox->setCurrentIndex(keep);
}

void TGraph::applyLanguage(const TextSource& texts) {
    GraphWindow::applyLanguage(texts);
    ReglerBox->setTitle(caption(texts, "ReglerBox", "Regler"));
    pidLabel_->setText(caption(texts, "PIDBox", "Parametersatz"));
    ChangePID->setText(caption(texts, "ChangePID", "Übernehmen"));
    setBox_->setTitle(caption(texts, "SetList", "Sollwert"));
    modeLabel_->setText(caption(texts, "GModusBox", "Regelmodus"));
    RstGraph->setText(caption(texts, "RstGraph", "Graph Löschen"));
    measuredLabel()->setText(caption(texts, "FlowLabel", "Durchfluss"));
    pressureLabel_->setText(caption(texts, "PressureLabel", "Druck"));
    pauseLabel_->setText(caption(texts, "PauseEdit", "Pause"));
    fillModes(&texts);
}

void TGraph::showPrepared() {
    {
        const QSignalBlocker block(SetList);
        SetList->clear();
        for (const SetpointStep& s : flow_.setList())
            SetList->addItem(QString::fromStdString(s.text));
    }
    const QSignalBlocker blockSet(PIDBox);
    PIDBox->setCurrentIndex(flow_.setIndex());
    const QSignalBlocker blockMode(GModusBox);
    GModusBox->setCurrentIndex(flow_.modeIndex());
    const bool withPid = flow_.generation() != PidGeneration::None;
    ReglerBox->setEnabled(withPid);
    // The third generation has no D.
    ReglerBox->edit(kPidD)->setEnabled(flow_.generation() != PidGeneration::Third);
    ReglerBox->bar(kPidD)->setEnabled(flow_.generation() != PidGeneration::Third);
    const bool pressure = !flow_.pressureText().empty();
    pressureLabel_->setVisible(pressure);
    PressureEdit->setVisible(pressure);
    PressureEdit->setText(QString::fromStdString(flow_.pressureText()));
}

void TGraph::showLive() {
    GraphWindow::showLive();
    if (PressureEdit->isVisible())
        PressureEdit->setText(QString::fromStdString(flow_.pressureText()));
}

} // namespace getkelo
