#include "console/forms/pressure_control_page.h"

#include "config/params/pressure_control_params.h"
#include "console/forms/component_texts.h"
#include "console/forms/page_builder.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace getkelo {

PressureControlPage::PressureControlPage(QWidget* parent)
    : ConsolePageWidget(ConsolePage::PressureControl, "Druckregelung", parent) {
    markComponent(this, "tbsPControl");
    auto* row = new QHBoxLayout(this);
    auto* live = new QGroupBox("Istwerte", this);
    markComponent(live, "gbxPControlLive");
    auto* grid = new QGridLayout(live);
    auto addValue = [&](int r, const char* key, const char* caption) {
        auto* l = new QLabel(QString::fromUtf8(caption), live);
        markComponent(l, key);
        auto* v = new QLabel("-", live);
        v->setMinimumWidth(120);
        v->setStyleSheet("font-weight:bold");
        grid->addWidget(l, r, 0);
        grid->addWidget(v, r, 1);
        return v;
    };
    // Live values of the device, not its setpoint or flow limit (those are set beside).
    pressureValue = addValue(0, "lblPControlPressure", "Druck");
    flowValue = addValue(1, "lblPControlFlow", "Fluss");
    valveValue = addValue(2, "lblPControlVLabel", "Ventil");
    grid->setRowStretch(3, 1);
    row->addWidget(live);

    auto* setpoint = pageGroup(this, "gbxPControlSetpoint", "Sollwert");
    auto* sg = static_cast<QGridLayout*>(setpoint->layout());
    txtSetpoint = addField(setpoint, "lblPControlPLabel", "Druck-Sollwert", 90);
    lblSetpointUnit = new QLabel(setpoint);
    sg->addWidget(lblSetpointUnit, 0, 2);
    btnPControlSSetpoint = addButton(setpoint, "btnPControlSSetpoint", "Sollwert setzen");
    chkPControlFLimit = addCheck(setpoint, "chkPControlFLimit", "Flussbegrenzung aktiv");
    txtFlowLimit = addField(setpoint, "lblPControlFLabel", "Flussbegrenzung", 90);
    lblFlowLimitUnit = new QLabel(setpoint);
    sg->addWidget(lblFlowLimitUnit, sg->rowCount() - 1, 2);
    closeGroup(setpoint);
    row->addWidget(setpoint);

    auto* right = new QVBoxLayout;
    auto* tag = pageGroup(this, "gbxPControlPTagName", "Druckmessstellenbezeichnung");
    txtTagName = new QLineEdit(tag);
    txtTagName->setMaxLength(50);
    txtTagName->setMinimumWidth(240);
    static_cast<QGridLayout*>(tag->layout())->addWidget(txtTagName, 0, 0, 1, 2);
    btnSavePress = addButton(tag, "btnSavePress", "Speichern");
    closeGroup(tag);
    right->addWidget(tag);
    btnPressSettings = new QPushButton("Einstellungen", this);
    markComponent(btnPressSettings, "btnPressSettings");
    right->addWidget(btnPressSettings, 0, Qt::AlignRight);
    right->addStretch();
    row->addLayout(right);
    row->addStretch();

    auto run = [this](QPushButton* b, auto&& f) {
        connect(b, &QPushButton::clicked, this, [this, b, f] {
            if (!logic_) return;
            b->setEnabled(false);
            f();
            b->setEnabled(true);
            refresh();
        });
    };
    run(btnPControlSSetpoint,
        [this] { logic_->btnPControlSSetpointClick(txtSetpoint->text().toStdString()); });
    run(btnSavePress, [this] {
        PressureControlState& s = logic_->state();
        s.tagName = txtTagName->text().toStdString();
        s.flowLimit = chkPControlFLimit->isChecked();
        s.flowLimitValue = txtFlowLimit->text().toStdString();
        logic_->btnSavePressClick();
    });
    connect(chkPControlFLimit, &QCheckBox::clicked, this, [this](bool ticked) {
        if (!logic_) return;
        logic_->chkPControlFLimitClick(ticked);
        refresh();
    });
    connect(btnPressSettings, &QPushButton::clicked, this, [this] {
        if (logic_ && logic_->btnPressSettingsClick()) emit pressSettingsRequested();
    });
}

void PressureControlPage::showEvent(QShowEvent* event) {
    ConsolePageWidget::showEvent(event);
    if (!logic_) return;
    logic_->tbsPControlShow();
    refresh();
}

void PressureControlPage::refresh() {
    if (!logic_) return;
    const PressureControlState& s = logic_->state();
    txtSetpoint->setText(QString::fromStdString(s.setpoint));
    lblSetpointUnit->setText(QString::fromStdString(s.unit));
    txtTagName->setText(QString::fromStdString(s.tagName));
    chkPControlFLimit->setChecked(s.flowLimit);
    txtFlowLimit->setText(QString::fromStdString(s.flowLimitValue));
    lblFlowLimitUnit->setText(QString::fromStdString(s.flowUnit));
    for (QWidget* w : std::initializer_list<QWidget*>{
             txtFlowLimit, findChild<QLabel*>("lblPControlFLabel"), lblFlowLimitUnit})
        if (w) w->setVisible(s.flowLimit);
}

void PressureControlPage::showLiveValues(const PressureLiveValues& v) {
    pressureValue->setText(QString::fromStdString(v.pressure + " " + v.pressureUnit));
    flowValue->setText(QString::fromStdString(v.flow + " " + v.flowUnit));
    valveValue->setText(QString::fromStdString(v.valve));
}

} // namespace getkelo
