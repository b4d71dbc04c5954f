#include "console/forms/signal_page.h"

#include "console/alarms/signal_page.h"
#include "console/forms/change_marks.h"
#include "console/forms/component_texts.h"
#include "console/text_source.h"

#include <QGridLayout>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace getkelo {

namespace {

void fillChoice(QComboBox* box, const std::vector<std::string>& items, int entry) {
    QSignalBlocker b(box);
    QStringList now;
    for (const auto& s : items)
        now << QString::fromStdString(s);
    QStringList before;
    for (int i = 0; i < box->count(); ++i)
        before << box->itemText(i);
    if (now != before) {
        box->clear();
        box->addItems(now);
    }
    box->setCurrentIndex(entry);
}

void setText(QLineEdit* edit, const std::string& text) {
    if (edit->text().toStdString() != text) edit->setText(QString::fromStdString(text));
}

} // namespace

SignalSheet::SignalSheet(QWidget* parent)
    : ConsolePageWidget(ConsolePage::Signals, "Signale", parent) {
    markComponent(this, "SignalSheet");
    auto* grid = new QGridLayout(this);

    Sollwertvorgabe = new QGroupBox("Sollwertvorgabe", this);
    markComponent(Sollwertvorgabe, "Sollwertvorgabe");
    SollwertBox = new QComboBox(Sollwertvorgabe);
    SollwertBox->setMinimumWidth(150);
    (new QVBoxLayout(Sollwertvorgabe))->addWidget(SollwertBox);

    auto* output = new QGroupBox("Messwertausgabe", this);
    markComponent(output, "Messwertausgabe");
    AusgabeBox = new QComboBox(output);
    AusgabeBox->setMinimumWidth(150);
    (new QVBoxLayout(output))->addWidget(AusgabeBox);

    Achtung = new QGroupBox("Achtung!", this);
    markComponent(Achtung, "Achtung");
    auto* noteLayout = new QVBoxLayout(Achtung);
    auto* noteText = new QLabel(Achtung);
    markComponent(noteText, "AchtungText");
    noteText->setWordWrap(true);
    noteText->setMinimumWidth(150);
    noteText->setStyleSheet("color: #b00000;");
    noteLayout->addWidget(noteText);
    Achtung->setVisible(false);

    auto* creep = new QGroupBox("Schleichmenge", this);
    markComponent(creep, "Schleichmenge");
    auto* creepLayout = new QGridLayout(creep);
    auto* cutOff = new QLabel("Cut-Off-Wert", creep);
    markComponent(cutOff, "CutOff");
    CutOffEdit = new QLineEdit(creep);
    CutOffEdit->setFixedWidth(80);
    cutOffUnit = new QLabel(creep);
    creepLayout->addWidget(cutOff, 0, 0);
    creepLayout->addWidget(CutOffEdit, 0, 1);
    creepLayout->addWidget(cutOffUnit, 0, 2);

    auto* powerUp = new QGroupBox("Aufstart-Sollwert", this);
    markComponent(powerUp, "Aufstartwert");
    auto* puLayout = new QGridLayout(powerUp);
    PowerUpSet = new QCheckBox("Aktivieren", powerUp);
    markComponent(PowerUpSet, "PowerUpSet");
    auto* puLabel = new QLabel("(Nur Regelmodus digital)", powerUp);
    markComponent(puLabel, "PowerUpLabel");
    PowerUpEdit = new QLineEdit(powerUp);
    PowerUpEdit->setFixedWidth(80);
    powerUpUnit = new QLabel(powerUp);
    puLayout->addWidget(PowerUpSet, 0, 0);
    puLayout->addWidget(PowerUpEdit, 0, 1);
    puLayout->addWidget(powerUpUnit, 0, 2);
    puLayout->addWidget(puLabel, 1, 0, 1, 3);

    auto* mode = new QGroupBox("Regelmodus", this);
    markComponent(mode, "ModusGroup");
    ModusBox = new QComboBox(mode);
    ModusBox->setObjectName("ModusBox");
    ModusBox->setMinimumWidth(180);
    (new QVBoxLayout(mode))->addWidget(ModusBox);

    saveButton = new QPushButton("Übernehmen", this);
    markComponent(saveButton, "SignalOKBtn");

    grid->addWidget(Sollwertvorgabe, 0, 0);
    grid->addWidget(output, 0, 1);
    grid->addWidget(Achtung, 0, 2, 2, 1, Qt::AlignTop);
    grid->addWidget(creep, 1, 0);
    grid->addWidget(powerUp, 1, 1);
    grid->addWidget(mode, 2, 0);
    grid->addWidget(saveButton, 2, 1, Qt::AlignRight | Qt::AlignBottom);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(3, 1);

    connect(SollwertBox, &QComboBox::activated, this, [this](int i) {
        if (logic_) logic_->inputChange(i);
    });
    connect(AusgabeBox, &QComboBox::activated, this, [this](int i) {
        if (logic_) logic_->outputChange(i);
    });
    connect(ModusBox, &QComboBox::activated, this, [this](int i) {
        if (logic_) logic_->modeChange(i);
    });
    connect(PowerUpSet, &QCheckBox::clicked, this, [this](bool on) {
        if (logic_) logic_->powerUpClick(on);
    });
    connect(PowerUpEdit, &QLineEdit::textEdited, this, [this](const QString& t) {
        if (logic_) logic_->powerUpValueChange(t.toStdString());
    });
    connect(CutOffEdit, &QLineEdit::textEdited, this, [this](const QString& t) {
        if (logic_) logic_->cutOffChange(t.toStdString());
    });
    connect(saveButton, &QPushButton::clicked, this, [this] {
        if (logic_) logic_->UebernehmenClick();
    });
}

void SignalSheet::attach(SignalPage* logic) {
    logic_ = logic;
    if (logic_) logic_->setChanged([this] { refresh(); });
}

void SignalSheet::showEvent(QShowEvent* event) {
    ConsolePageWidget::showEvent(event);
    if (logic_) logic_->tbsSignaleShow();
}

void SignalSheet::refresh() {
    if (!logic_) return;
    const SignalPageState& s = logic_->state();
    Sollwertvorgabe->setVisible(s.inputVisible);
    fillChoice(SollwertBox, s.inputItems, s.inputEntry);
    fillChoice(AusgabeBox, s.outputItems, s.outputEntry);
    {
        QSignalBlocker b1(ModusBox), b2(PowerUpSet);
        if (s.modeEntry < ModusBox->count()) ModusBox->setCurrentIndex(s.modeEntry);
        PowerUpSet->setChecked(s.powerUpOn);
    }
    setText(PowerUpEdit, s.powerUpValue);
    setText(CutOffEdit, s.cutOff);
    Achtung->setVisible(s.warningVisible);
    markChoice(SollwertBox, s.inputChanged);
    markChoice(AusgabeBox, s.outputChanged);
    markChoice(ModusBox, s.modeChanged);
    markChoice(PowerUpSet, s.powerUpOnChanged);
    markEdit(PowerUpEdit, s.powerUpValueChanged);
    markEdit(CutOffEdit, s.cutOffChanged);
    // Fields the page does not write for this device's generation are shown, not edited.
    const bool editable = !s.onlyOutputAndModeWritable;
    const QString tip = editable ? QString() : readOnlyTip_;
    SollwertBox->setEnabled(editable);
    PowerUpSet->setEnabled(editable);
    for (QLineEdit* e : {PowerUpEdit, CutOffEdit}) {
        e->setReadOnly(!editable);
        // Greyed like a disabled field, but the value can still be selected and copied.
        if (!editable) e->setStyleSheet("background: palette(window);");
    }
    for (QWidget* w :
         std::initializer_list<QWidget*>{SollwertBox, PowerUpSet, PowerUpEdit, CutOffEdit})
        w->setToolTip(tip);
}

void SignalSheet::applyLanguage(const TextSource& texts) {
    readOnlyTip_ = QString::fromStdString(texts.text("tipSignalNotWritten"));
    refresh();
}

} // namespace getkelo
