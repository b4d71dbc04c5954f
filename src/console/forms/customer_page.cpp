#include "console/forms/customer_page.h"

#include <QLabel>
#include <QVBoxLayout>

namespace getkelo {

CustomerPage::CustomerPage(QWidget* parent)
    : ConsolePageWidget(ConsolePage::CustomerSpecific, "Kestrom Spezial", parent) {
    setObjectName("tbsKestrom");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("Kundenspezifische Parameter", this));
    layout->addStretch();
}

} // namespace getkelo
