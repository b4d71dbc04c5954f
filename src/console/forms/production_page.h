#pragma once
#include "console/forms/console_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>

namespace getkelo {

class ProductionParams;
struct AnalogSide;

// The production page "Produktion-I", shown in production mode only: three buttons choose
// the group "Dynamik", "Regeleinstellungen" or "Analog".
class ProductionPage : public ConsolePageWidget {
    Q_OBJECT
  public:
    explicit ProductionPage(QWidget* parent = nullptr);
    void attach(ProductionParams* logic) { logic_ = logic; }
    void refresh();

    QPushButton* btnDynamic;
    QPushButton* btnController;
    QPushButton* btnAnalog;
    QStackedWidget* groups;
    // "Dynamik"
    QComboBox* cboLut;
    QLineEdit* txtDynamic;
    QPushButton* btnSaveDyn;
    QLabel* lblDynWrong;
    // "Regeleinstellungen"
    QListWidget* clbTargets;
    QPushButton* btnSaveController;
    QLabel* lblControllerWrong;
    // "Analog": [0] input, [1] output
    QCheckBox* chkAnalog[2];
    QRadioButton* rdbCurrent[2];
    QRadioButton* rdbVoltage[2];
    QLineEdit* txtMin[2];
    QLineEdit* txtMax[2];
    QPushButton* btnSaveAnalog;
    QLabel* lblAnalogWrong;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    AnalogSide side(int i) const;
    ProductionParams* logic_ = nullptr;
};

} // namespace getkelo
