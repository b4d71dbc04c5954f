#pragma once
#include "console/forms/console_page.h"

namespace getkelo {

// Series-4 page "Filter": the measuring filter block.
class FilterPage : public ConsolePageWidget {
    Q_OBJECT
  public:
    explicit FilterPage(QWidget* parent = nullptr);
};

} // namespace getkelo
