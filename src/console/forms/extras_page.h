#pragma once
#include "console/forms/console_page.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

#include <array>

namespace getkelo {

class ExtrasParams;

// Series-4 page "Extras": device functions, long names, the second totalizer.
class ExtrasPage : public ConsolePageWidget {
    Q_OBJECT
  public:
    explicit ExtrasPage(QWidget* parent = nullptr);
    void attach(ExtrasParams* logic) { logic_ = logic; }
    void refresh();

    std::array<QCheckBox*, 6> functionBoxes{};
    QPushButton* btnFSave;
    QLineEdit* txtLongGas;
    QLineEdit* txtTagName;
    QPushButton* btnSaveLongNames;
    QLineEdit* txtTotalizer2;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    ExtrasParams* logic_ = nullptr;
};

} // namespace getkelo
