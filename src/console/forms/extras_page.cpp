#include "console/forms/extras_page.h"

#include "console/forms/component_texts.h"
#include "console/forms/page_builder.h"

#include <QHBoxLayout>

namespace getkelo {

ExtrasPage::ExtrasPage(QWidget* parent) : ConsolePageWidget(ConsolePage::Extras, "Extras", parent) {
    markComponent(this, "tbsTesra4");
    auto* row = new QHBoxLayout(this);
    row->addWidget(fieldGroup(this, "gpbFunctions", "Funktionen",
                              {{"chkFRegler", "Regler"},
                               {"chkFTot", "Totalisator"},
                               {"chkFNegDet", "Negative Fluss Detektion"},
                               {"chkFNegFlow", "Negative Fluss Messung"},
                               {"chkFProfibus", "Profibus"},
                               {"chkFPControl", "Druckregler"},
                               {"btnFSave", "Übernehmen"}}));
    row->addWidget(fieldGroup(this, "gpbLongNames", "Lange Namen",
                              {{"lblLongGas", "Gasname"},
                               {"lblMessstellenbezeichnung", "Messstellenbezeichnung"},
                               {"btnSaveLongNames", "Übernehmen"}}));
    row->addStretch();
}

} // namespace getkelo
