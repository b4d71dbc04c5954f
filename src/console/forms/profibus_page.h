#pragma once
#include "config/params/profibus_params.h"
#include "console/forms/console_page.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <array>
#include <functional>

namespace getkelo {

// "Azyklische Kommunikation": indexed access and the four hexadecimal slot and index fields.
// Each edit is checked by `check`; a refused field shows "0" with its text selected.
class ProfibusAccessGroup : public QGroupBox {
    Q_OBJECT
  public:
    ProfibusAccessGroup(QWidget* parent, std::function<bool(HexField, const std::string&)> check);
    void show(const ProfibusState& s);
    void take(ProfibusState& s) const;

    QCheckBox* chkIndexedAccess;
    std::array<QLineEdit*, kHexFields> hex{}; // by HexField

  private:
    std::function<bool(HexField, const std::string&)> check_;
};

// Series-4 page "Profibus".
class ProfibusPage : public ConsolePageWidget {
    Q_OBJECT
  public:
    explicit ProfibusPage(QWidget* parent = nullptr);
    void attach(ProfibusParams* logic) { logic_ = logic; }
    void refresh();

    QLabel* lblNotActive;
    QLineEdit* txtAddress;
    QCheckBox* chkChangeDisable;
    ProfibusAccessGroup* acyclic;
    QPushButton* btnProfibusSave;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    ProfibusParams* logic_ = nullptr;
};

} // namespace getkelo
