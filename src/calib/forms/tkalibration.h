#pragma once
#include "calib/calibration_run.h"
#include "calib/data_file_path.h"

#include <QDialog>

class QCheckBox;
class QChart;
class QComboBox;
class QLabel;
class QLineEdit;
class QLineSeries;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;
class QTableWidget;
class QTimer;

namespace getkelo {

class AnalogCheck;
class AnalogPage;
class LutAdjustment;
class TDatei;
class UiAdapter;
class VerificationPage;

// "Kalibration": the pages of a calibration run over CalibrationRun (settings, flow settings
// and references, measuring with the 2 s timer, the corrected lookup table) and LutAdjustment.
class TKalibration : public QDialog {
    Q_OBJECT
  public:
    TKalibration(CalibrationRun& run, LutAdjustment& adjust, UiAdapter& ui,
                 QWidget* parent = nullptr);

    void FormShow(const CalibrationDevice& device, const DataFileRoot& root);
    // "KalibRef.ini": the reference instruments "Durchfluss" loads into the reference list.
    void setReferenceFile(const std::string& path);
    void loadReferences();
    void TimerTimer();
    // Adds the page "Analog I/O" over the analog checks ("Analog I/O" on the settings page).
    void setAnalogCheck(AnalogCheck& check);

    QTabWidget* Pages;
    // "Einstellungen"
    QLineEdit *UserEdit, *KommentarEdit;
    QLabel* DatFile;
    QPushButton* Button4;
    AnalogPage* AnalogSheet = nullptr;
    // "Durchfluss"
    QLineEdit *SetTempEdit, *DruckEdit, *LabeledEdit1;
    QComboBox *RefUnit, *GasBox;
    QCheckBox* KeloCheck;
    QSpinBox *ControlBox, *RefAddressBox;
    QTableWidget* RefList;
    QRadioButton *ModusCheck, *ModusAdjust;
    QPushButton* StartBtn;
    // "Messung"
    QLineEdit *FlowEdit, *SollwertEdit, *MittelwertEdit;
    QLabel* FlowLabel;
    QComboBox* RefBox;
    QTableWidget* WerteGrid;
    QPushButton *SollOKBtn, *MessenBtn, *RstGraph, *DataSaveBtn;
    QLineSeries *gasflow, *valve;
    QTimer* Timer;
    // "Berechnen"
    TDatei* Datei1;
    QLineEdit *RangeEdit, *LabeledEdit2, *LabeledEdit3, *LabeledEdit4;
    QCheckBox* CheckBox3;
    QLabel* IdentLabel;
    QPushButton* LookupBtn;
    QLineSeries *deviation, *tableBefore, *tableAfter;
    // "Protokoll"
    VerificationPage* ProtokollSheet;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    QWidget* settingsPage();
    QWidget* flowPage();
    QWidget* measurePage();
    QWidget* computePage();
    void StartBtnClick();
    void MessenBtnClick();
    void DataSaveBtnClick();
    void BerechnenSheetShow();
    void LookupBtnClick();
    void showGrid();
    RunSettings settings() const;

    CalibrationRun& run_;
    LutAdjustment& adjust_;
    UiAdapter& ui_;
    QChart *flowChart_, *deviationChart_, *tableChart_;
    int64_t t0_ = -1;
    std::string referenceIni_;
    bool filling_ = false;
};

} // namespace getkelo
