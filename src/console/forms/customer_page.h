#pragma once
#include "console/forms/console_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace getkelo {

class CustomerParams;
class ProfibusAccessGroup;

// The customer page "Kestrom Spezial", shown in service mode only: one customer's settings
// from the other pages, written in one run.
class CustomerPage : public ConsolePageWidget {
    Q_OBJECT
  public:
    explicit CustomerPage(QWidget* parent = nullptr);
    void attach(CustomerParams* logic) { logic_ = logic; }
    void refresh();
    void applyLanguage(const TextSource& texts) override;

    QLineEdit* kes_txtLongGas;
    QLineEdit* kes_txtTagName;
    QLineEdit* kes_txtProfibusAdr;
    ProfibusAccessGroup* kes_acyclic;
    QCheckBox* kes_chkPowerUp;
    QComboBox* kes_cboGas;
    QLineEdit* kes_txtDynamic;
    QRadioButton* kes_rdbSingle;
    QRadioButton* kes_rdbAll;
    QPushButton* kes_btnWrite;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    CustomerParams* logic_ = nullptr;
};

} // namespace getkelo
