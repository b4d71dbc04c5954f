#include "console/forms/profibus_page.h"

#include "console/forms/component_texts.h"
#include "console/forms/page_builder.h"

#include <QHBoxLayout>

namespace getkelo {

ProfibusPage::ProfibusPage(QWidget* parent)
    : ConsolePageWidget(ConsolePage::Profibus, "Profibus", parent) {
    markComponent(this, "tbsProfibus");
    auto* row = new QHBoxLayout(this);
    row->addWidget(fieldGroup(this, "gpbProfibus", "Profibus",
                              {{"lblProfibusAdr", "Profibus Adresse"},
                               {"chkChangeDisable", "Adressänderung sperren"},
                               {"btnProfibusSave", "Übernehmen"}}));
    row->addWidget(fieldGroup(this, "gpbAzCom", "Indizierter Zugriff",
                              {{"chkIndexedAccess", "Indizierter Zugriff aktiv"},
                               {"lblAddressSlot", "Adresse Slot"},
                               {"lblAddressIndex", "Adresse Index"},
                               {"lblDataSlot", "Daten Slot"},
                               {"lblDataIndex", "Daten Index"}}));
    row->addStretch();
}

} // namespace getkelo
