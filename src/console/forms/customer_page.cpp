#include "console/forms/customer_page.h"

#include "console/forms/component_texts.h"

#include <QLabel>
#include <QVBoxLayout>

namespace getkelo {

CustomerPage::CustomerPage(QWidget* parent)
    : ConsolePageWidget(ConsolePage::CustomerSpecific, "Kestrom Spezial", parent) {
    markComponent(this, "tbsKestrom");
    auto* layout = new QVBoxLayout(this);
    auto* info = new QLabel("Kundenspezifische Parameter", this);
    markComponent(info, "lblKestromInfo");
    layout->addWidget(info);
    layout->addStretch();
}

} // namespace getkelo
