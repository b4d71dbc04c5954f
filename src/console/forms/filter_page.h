#pragma once
#include "console/forms/console_page.h"

#include <QLineEdit>
#include <QPushButton>

#include <array>

namespace getkelo {

class FilterParams;

// Series-4 page "Filter": the eight fields of the filter block.
class FilterPage : public ConsolePageWidget {
    Q_OBJECT
  public:
    explicit FilterPage(QWidget* parent = nullptr);
    void attach(FilterParams* logic) { logic_ = logic; }
    void refresh();

    std::array<QLineEdit*, 8> fields{};
    QPushButton* btnSaveFilter;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    FilterParams* logic_ = nullptr;
};

} // namespace getkelo
