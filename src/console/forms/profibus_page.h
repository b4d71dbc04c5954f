#pragma once
#include "console/forms/console_page.h"

namespace getkelo {

// Series-4 page "Profibus": fieldbus address and indexed access.
class ProfibusPage : public ConsolePageWidget {
    Q_OBJECT
  public:
    explicit ProfibusPage(QWidget* parent = nullptr);
};

} // namespace getkelo
