#pragma once
#include "console/forms/console_page.h"

namespace getkelo {

// The production page "Produktion-I", shown in production mode only.
class ProductionPage : public ConsolePageWidget {
    Q_OBJECT
  public:
    explicit ProductionPage(QWidget* parent = nullptr);
};

} // namespace getkelo
