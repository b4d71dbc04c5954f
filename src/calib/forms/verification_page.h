#pragma once
#include "calib/certificate.h"
#include "calib/data_file_path.h"
#include "calib/forms/tprotokoll.h"
#include "calib/verification.h"

#include <QPointer>
#include <QWidget>
#include <memory>

class QChart;
class QChartView;
class QComboBox;
class QLabel;
class QLineEdit;
class QLineSeries;
class QPrinter;
class QPushButton;

namespace getkelo {

class CalibrationRun;
class TDatei;
class UiAdapter;

// The page "Protokoll" of TKalibration: a stored check data set plotted as deviations from the
// reference (Chart3 %FS, Chart4 %SP, Chart5 sigma), the page printed, the certificate window.
class VerificationPage : public QWidget {
    Q_OBJECT
  public:
    VerificationPage(CalibrationRun& run, UiAdapter& ui, QWidget* parent = nullptr);
    ~VerificationPage() override;

    // The device under test's serial and the root of the data files.
    void FormShow(const DataFileRoot& root);
    void setReferenceFile(const std::string& path) { referenceIni_ = path; }
    // The check data sets of the file of type and serial entered (newest chosen).
    void ProtokollSheetShow();
    void VerifyBtnClick();
    void DruckenBtnClick();
    void ProtokollBtnClick();
    // The printed page: the header lines, then the three charts.
    bool printTo(QPrinter& printer);
    std::string dataFile() const;
    const Verification& verification() const { return verification_; }
    TProtokoll* protokoll() const { return protokoll_; }

    QLineEdit *SNrEdit2, *GasEdit, *PressEdit, *TempInEdit, *TempOutEdit;
    QComboBox *TypBox2, *DruckerBox;
    TDatei* Datei4;
    QPushButton *VerifyBtn, *DruckenBtn, *ProtokollBtn;
    QChartView *Chart3, *Chart4, *Chart5;
    QLineSeries *deviationFS, *deviationSP, *sigma;

  private:
    std::string source() const;

    CalibrationRun& run_;
    UiAdapter& ui_;
    DataFileRoot root_;
    std::string referenceIni_;
    Verification verification_;
    std::unique_ptr<Certificate> certificate_;
    QPointer<TProtokoll> protokoll_;
};

} // namespace getkelo
