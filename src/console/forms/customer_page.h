#pragma once
#include "console/forms/console_page.h"

namespace getkelo {

// The customer-specific page, shown in service mode only.
class CustomerPage : public ConsolePageWidget {
    Q_OBJECT
  public:
    explicit CustomerPage(QWidget* parent = nullptr);
};

} // namespace getkelo
