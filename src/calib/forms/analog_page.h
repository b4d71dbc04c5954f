#pragma once
#include "calib/analog_coefficients.h"

#include <QWidget>
#include <functional>

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTableWidget;

namespace getkelo {

class AnalogCheck;

// The page "Analog I/O" of TKalibration over AnalogCheck: the output's signal (`IstGroup`,
// `CheckBox1` "20..100%") and the set-point input's (`SollGroup`, `CheckBox2`), their grids
// (`MesswertGrid`, `SollwertGrid`: header row and six points, the error cell green when it
// passes, red when not), the check, adjust and calibrate buttons and the coefficients of each.
class AnalogPage : public QWidget {
    Q_OBJECT
  public:
    explicit AnalogPage(AnalogCheck& check, QWidget* parent = nullptr);

    // Runs before every check and correction (data file, operator).
    std::function<void()> beforeAction;

    void AnalogSheetShow();
    void PruefAusBtnClick();
    void JustAusBtnClick();
    void KalibAusBtnClick();
    void PruefEinBtnClick();
    void JustEinBtnClick();
    void KalibEinBtnClick();

    QGroupBox *IstGroup, *SollGroup;
    QRadioButton *IstCurrent, *IstVolt5, *IstVolt10;
    QRadioButton *SollCurrent, *SollVolt5, *SollVolt10;
    QCheckBox *CheckBox1, *CheckBox2;
    QTableWidget *MesswertGrid, *SollwertGrid;
    QPushButton *PruefAusBtn, *JustAusBtn, *KalibAusBtn;
    QPushButton *PruefEinBtn, *JustEinBtn, *KalibEinBtn;
    QLabel *DacLabel, *AdcLabel; // the coefficients as last read

  private:
    AnalogRange outputRange() const;
    AnalogRange inputRange() const;
    void showGrid(AnalogSide side);
    void prepare();

    AnalogCheck& check_;
};

} // namespace getkelo
