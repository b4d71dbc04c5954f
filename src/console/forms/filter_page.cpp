#include "console/forms/filter_page.h"

#include "console/forms/component_texts.h"
#include "console/forms/page_builder.h"

#include <QHBoxLayout>

namespace getkelo {

FilterPage::FilterPage(QWidget* parent) : ConsolePageWidget(ConsolePage::Filter, "Filter", parent) {
    markComponent(this, "tbsFilterT4");
    auto* row = new QHBoxLayout(this);
    row->addWidget(fieldGroup(this, "gbxFilter", "Filter",
                              {{"lblFilterType", "Filter Typ"},
                               {"lblFilterFactor", "Filter Faktor"},
                               {"lblTickFilter", "Tick Filter"},
                               {"lblMeasureFilter", "Messwert Filter"},
                               {"lblFilterSamplesFirst", "Filter Samples First"},
                               {"lblFilterBand", "Filter Band"},
                               {"lblFilterSamplesNext", "Filter Samples Next"},
                               {"lblFilterChange", "Filter Änderung"},
                               {"btnSaveFilter", "Übernehmen"}}));
    row->addStretch();
}

} // namespace getkelo
