#include "console/forms/alarm_page.h"

#include "console/alarms/alarm_page.h"
#include "console/forms/change_marks.h"
#include "console/forms/component_texts.h"

#include <QGridLayout>
#include <QPainter>
#include <QPixmap>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace getkelo {

namespace {

// A round lamp: lit red, or dark grey when off.
QPixmap lampPicture(bool on) {
    QPixmap pm(14, 14);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient g(5, 5, 8);
    g.setColorAt(0, on ? QColor(255, 150, 150) : QColor(150, 150, 150));
    g.setColorAt(1, on ? QColor(200, 0, 0) : QColor(60, 60, 60));
    p.setBrush(g);
    p.setPen(QPen(QColor(40, 40, 40), 1));
    p.drawEllipse(1, 1, 12, 12);
    return pm;
}

} // namespace

AlarmSheet::AlarmSheet(QWidget* parent) : ConsolePageWidget(ConsolePage::Alarm, "Alarm", parent) {
    markComponent(this, "AlarmSheet");
    auto* grid = new QGridLayout(this);
    auto addLamp = [this](QGridLayout* g, int row, int bit, const char* key, const char* text) {
        auto* l = new QLabel(g->parentWidget());
        l->setPixmap(lampPicture(false));
        auto* t = new QLabel(text, g->parentWidget());
        markComponent(t, key);
        g->addWidget(l, row, 0);
        g->addWidget(t, row, 1);
        lamps_.append({bit, l});
    };

    ReglerAlarm = new QGroupBox("Regler-Alarme", this);
    markComponent(ReglerAlarm, "ReglerAlarm");
    auto* rg = new QGridLayout(ReglerAlarm);
    addLamp(rg, 0, 0, "Alarm00Label", "Power-Up Alarm");
    addLamp(rg, 1, 1, "Alarm01Label", "Analogeingang Alarm");
    addLamp(rg, 2, 2, "Alarm02Label", "Fluss bei Stellwert 0%");
    addLamp(rg, 3, 3, "Alarm03Label", "Kein Fluss bei SW 100%");
    addLamp(rg, 4, 4, "Alarm04Label", "Keine Flussänderung");
    addLamp(rg, 5, 9, "Alarm09Label", "Keine Parameterwerte");
    addLamp(rg, 6, 10, "Alarm10Label", "Stromeingang Alarm");
    rg->setColumnStretch(1, 1);

    SensorAlarm = new QGroupBox("Sensor-Alarme", this);
    markComponent(SensorAlarm, "SensorAlarm");
    auto* sg = new QGridLayout(SensorAlarm);
    addLamp(sg, 0, 5, "Alarm05Label", "Kommunikationsfehler");
    addLamp(sg, 1, 6, "Alarm06Label", "RAM-Schreibfehler");
    addLamp(sg, 2, 7, "Alarm07Label", "EEPROM Zugriffsfehler");
    addLamp(sg, 3, 8, "Alarm08Label", "Totalisatorwert verloren");
    sg->setColumnStretch(1, 1);

    ReverseFlow = new QGroupBox("Rückwärtsfluss Detektor", this);
    markComponent(ReverseFlow, "ReverseFlowLabel");
    auto* mg = new QGridLayout(ReverseFlow);
    addLamp(mg, 0, 16, "Alarm16Label", "Fluss < 0");
    addLamp(mg, 1, 17, "Alarm17Label", "Fluss < Grenzwert");
    auto* hyst = new QLabel("(mit Hysterese)", ReverseFlow);
    markComponent(hyst, "Alarm17Label2");
    mg->addWidget(hyst, 2, 1);
    auto* limit = new QLabel("Grenzwert [0..20%]", ReverseFlow);
    markComponent(limit, "ReverseFlowEdit");
    ReverseFlowEdit = new QLineEdit(ReverseFlow);
    ReverseFlowEdit->setFixedWidth(70);
    mg->addWidget(limit, 3, 0, 1, 2);
    mg->addWidget(ReverseFlowEdit, 3, 2);

    Plausibel = new QGroupBox("Plausibilitätsüberprüfung", this);
    markComponent(Plausibel, "Plausibel");
    auto* st = new QGridLayout(Plausibel);
    DetektorSet = new QCheckBox("Detektor-Verhalten", Plausibel);
    markComponent(DetektorSet, "DetektorSet");
    auto* delay = new QLabel("Alarm Verzögerung", Plausibel);
    markComponent(delay, "Verzug");
    VerzugEdit = new QLineEdit(Plausibel);
    VerzugEdit->setFixedWidth(70);
    st->addWidget(DetektorSet, 0, 0, 1, 2);
    st->addWidget(delay, 1, 0);
    st->addWidget(VerzugEdit, 1, 1);

    resetButton = new QPushButton("Alarm Reset", this);
    markComponent(resetButton, "AlarmResetBtn");
    saveButton = new QPushButton("Übernehmen", this);
    markComponent(saveButton, "AlarmOKBtn");
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(resetButton);
    buttons->addWidget(saveButton);
    buttons->addStretch();

    grid->addWidget(ReglerAlarm, 0, 0, 2, 1);
    grid->addWidget(SensorAlarm, 0, 1);
    grid->addWidget(ReverseFlow, 1, 1);
    grid->addWidget(Plausibel, 0, 2);
    grid->addLayout(buttons, 1, 2);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(2, 1);

    connect(DetektorSet, &QCheckBox::clicked, this, [this](bool on) {
        if (logic_) logic_->detectorClick(on);
    });
    connect(VerzugEdit, &QLineEdit::textEdited, this, [this](const QString& t) {
        if (logic_) logic_->delayChange(t.toStdString());
    });
    connect(ReverseFlowEdit, &QLineEdit::textEdited, this, [this](const QString& t) {
        if (logic_) logic_->limitChange(t.toStdString());
    });
    connect(saveButton, &QPushButton::clicked, this, [this] {
        if (logic_) logic_->UebernehmenClick();
    });
}

void AlarmSheet::attach(AlarmPage* logic) {
    logic_ = logic;
    if (logic_) logic_->setChanged([this] { refresh(); });
}

void AlarmSheet::showEvent(QShowEvent* event) {
    ConsolePageWidget::showEvent(event);
    if (logic_) logic_->AlarmSheetShow();
}

void AlarmSheet::refresh() {
    if (!logic_) return;
    const AlarmPageState& s = logic_->state();
    ReglerAlarm->setVisible(s.controllerGroupsVisible);
    Plausibel->setVisible(s.controllerGroupsVisible);
    ReverseFlow->setVisible(s.reverseFlowVisible);
    {
        QSignalBlocker b(DetektorSet);
        DetektorSet->setChecked(s.detector);
    }
    if (VerzugEdit->text().toStdString() != s.delay)
        VerzugEdit->setText(QString::fromStdString(s.delay));
    if (ReverseFlowEdit->text().toStdString() != s.limit)
        ReverseFlowEdit->setText(QString::fromStdString(s.limit));
    markChoice(DetektorSet, s.detectorChanged);
    markEdit(VerzugEdit, s.delayChanged);
    markEdit(ReverseFlowEdit, s.limitChanged);
    for (int bit = 0; bit < kAlarmLamps; ++bit)
        setLamp(bit, s.lamp(bit));
    setLamp(16, s.reverseLamp(0));
    setLamp(17, s.reverseLamp(1));
    if (s.tabHighlighted != highlighted_) {
        highlighted_ = s.tabHighlighted;
        emit highlightChanged(highlighted_);
    }
}

QLabel* AlarmSheet::lamp(int bit) const {
    for (const auto& [b, l] : lamps_)
        if (b == bit) return l;
    return nullptr;
}

void AlarmSheet::setLamp(int bit, bool on) {
    QLabel* l = lamp(bit);
    if (!l || l->property("lit").toBool() == on) return;
    l->setProperty("lit", on);
    l->setPixmap(lampPicture(on));
}

} // namespace getkelo
