#include "console/forms/production_page.h"

#include "console/forms/component_texts.h"
#include "console/forms/page_builder.h"

#include <QHBoxLayout>

namespace getkelo {

ProductionPage::ProductionPage(QWidget* parent)
    : ConsolePageWidget(ConsolePage::ProductionI, "Produktion-I", parent) {
    markComponent(this, "tbsProd");
    auto* row = new QHBoxLayout(this);
    row->addWidget(
        fieldGroup(this, "gbxProdDynamics", "Dynamik", {{"lblProdLookup", "Lookup-Tabelle"}}));
    row->addWidget(fieldGroup(this, "gbxProdController", "Regler",
                              {{"lblProdKp", "Kp"}, {"lblProdKi", "Ki"}, {"lblProdKd", "Kd"}}));
    row->addWidget(
        fieldGroup(this, "gbxProdAnalog", "Analog",
                   {{"lblProdAnalogOut", "Analogausgang"}, {"lblProdAnalogIn", "Analogeingang"}}));
    row->addStretch();
}

} // namespace getkelo
