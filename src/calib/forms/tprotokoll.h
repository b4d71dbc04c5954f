#pragma once
#include "calib/certificate.h"

#include <QDialog>
#include <QString>
#include <functional>
#include <optional>

class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTextEdit;

namespace getkelo {

class Clock;
class TDatei;
class TextSource;
class UiAdapter;

// Prints the certificate's rich text on the named printer and returns the printer it went to
// (the operator may pick another one on the way; "PDF" for a file), nothing when cancelled,
// an empty name when printing failed.
using CertificatePrinter =
    std::function<std::optional<QString>(const QString& html, const QString& printer)>;

// "Kalibrier-Protokoll": the inputs of a calibration certificate, the certificate as rich text,
// printing it (or writing it as a PDF file) and its record, all through Certificate.
class TProtokoll : public QDialog {
    Q_OBJECT
  public:
    TProtokoll(Certificate& certificate, UiAdapter& ui, const TextSource& texts, Clock& clock,
               QWidget* parent = nullptr);

    // FormShow: the inputs for the device, the check data sets, the stored certificates.
    void FormShow(const CertificateInput& defaults);
    void LadenClick();
    void ErzeugenBtnClick();
    void DruckenBtnClick();

    // The printers offered (tests name their own); the one with "2100" is preselected.
    void fillPrinters(const QStringList& printers, const QString& current);
    // The printing step; by default a print dialog on the chosen printer.
    void setPrinter(CertificatePrinter printer) { printer_ = std::move(printer); }
    CertificateInput input() const;

    // "Auftrag", operator, comment, points, unit of the lists, data set, new or restore.
    QLineEdit *ANrEdit, *UserEdit, *KommentarEdit;
    QSpinBox* PunkteEdit;
    QRadioButton *lnButton, *mlnButton;
    TDatei *Datei1, *Datei2;
    QRadioButton *NeuButton, *RestoreButton;
    QPushButton* LadenBtn;
    // "Gerät": the device under test and the conditions.
    QLineEdit *TypEdit, *SNrEdit, *CodeEdit, *GasEdit, *RangeEdit, *UnitEdit, *TempEdit;
    QComboBox* FunktionBox;
    QLineEdit *P_Kalib, *P_Kunde, *DynamikEdit;
    QTextEdit* pRich;
    QComboBox* DruckerBox;
    QPushButton *ErzeugenBtn, *DruckenBtn;

  private:
    void showInput(const CertificateInput& in);
    std::string text(const char* key, const char* fallback, const std::string& arg = {}) const;
    bool savePdf();

    Certificate& certificate_;
    UiAdapter& ui_;
    const TextSource& texts_;
    Clock& clock_;
    CertificatePrinter printer_;
    QString html_;
};

// The default printing step: a print dialog on the named printer, the text on one page.
std::optional<QString> printCertificateWithDialog(const QString& html, const QString& printer,
                                                  QWidget* parent);

} // namespace getkelo
