#include "console/forms/pressure_control_page.h"

#include "console/forms/component_texts.h"
#include "console/forms/page_builder.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>

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
    row->addWidget(fieldGroup(this, "gbxPControlSetpoint", "Sollwert",
                              {{"lblPControlPLabel", "Druck-Sollwert"},
                               {"btnPControlSSetpoint", "Sollwert setzen"},
                               {"chkPControlFLimit", "Flussbegrenzung aktiv"},
                               {"lblPControlFLabel", "Flussbegrenzung"},
                               {"btnSavePress", "Übernehmen"},
                               {"btnPressSettings", "Einstellungen"}}));
    row->addWidget(fieldGroup(this, "gbxPControlPTagName", "Messstellenbezeichnung Druck", {}));
    row->addStretch();
}

void PressureControlPage::showLiveValues(const PressureLiveValues& v) {
    pressureValue->setText(QString::fromStdString(v.pressure + " " + v.pressureUnit));
    flowValue->setText(QString::fromStdString(v.flow + " " + v.flowUnit));
    valveValue->setText(QString::fromStdString(v.valve));
}

} // namespace getkelo
