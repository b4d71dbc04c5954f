#include "console/forms/console_page.h"

namespace getkelo {

ConsolePageWidget::ConsolePageWidget(ConsolePage kind, const QString& fixedCaption, QWidget* parent)
    : QWidget(parent), kind_(kind), caption_(fixedCaption) {}

void ConsolePageWidget::applyLanguage(const TextSource&) {}

} // namespace getkelo
