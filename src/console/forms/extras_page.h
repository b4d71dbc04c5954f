#pragma once
#include "console/forms/console_page.h"

namespace getkelo {

// Series-4 page "Extras": device functions and long names. Its register work comes with the
// series-4 pages.
class ExtrasPage : public ConsolePageWidget {
    Q_OBJECT
  public:
    explicit ExtrasPage(QWidget* parent = nullptr);
};

} // namespace getkelo
