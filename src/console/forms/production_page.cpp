#include "console/forms/production_page.h"

#include "console/forms/page_builder.h"

#include <QHBoxLayout>

namespace getkelo {

ProductionPage::ProductionPage(QWidget* parent)
    : ConsolePageWidget(ConsolePage::ProductionI, "Produktion-I", parent) {
    setObjectName("tbsProd");
    auto* row = new QHBoxLayout(this);
    row->addWidget(fieldGroup(this, "", "Dynamik", {{"", "Lookup-Tabelle"}}));
    row->addWidget(fieldGroup(this, "", "Regler", {{"", "Kp"}, {"", "Ki"}, {"", "Kd"}}));
    row->addWidget(fieldGroup(this, "", "Analog", {{"", "Analogausgang"}, {"", "Analogeingang"}}));
    row->addStretch();
}

} // namespace getkelo
