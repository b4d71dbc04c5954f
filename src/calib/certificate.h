#pragma once
#include "calib/certificate_result.h"
#include "calib/reference_instruments.h"

#include <string>
#include <utility>
#include <vector>

namespace getkelo {

class CalibrationRun;
struct DateTime;

// What the certificate is made of: the device under test and the inputs of TProtokoll.
struct CertificateInput {
    std::string typeText = "tesra Typ03";
    std::string typeCode, serial, gas;
    std::string function = "Flow Controller"; // "Flow Meter", "Flow Controller", "Flow Regulator"
    std::string flowUnit = "ln/min";
    double fullScale = 0;
    std::string orderNo;          // "ABNo"
    std::string operatorName;     // "Benutzer"
    std::string comment;          // "Kommentar"
    int points = 4;               // "Messpunkte (ex. 0)"
    bool mlnLists = false;        // "Verify-DATA": "mln/min"
    std::string dataSection;      // the check data set
    std::string pressureCalib;    // "Kalibration [bar a]"
    std::string pressureCustomer; // "Kunde [bar a]"
    std::string customerTemperature = "20";
    std::string turnDown = "50"; // "Dynamik"
};

// The inputs for the device under test of a calibration run: its identification, gas, unit
// and range (as the run read them, else as the device list shows them), the function by its
// controller flag, operator and remark of the run, the run's calibration pressure in bar a.
CertificateInput certificateDefaults(const CalibrationRun& run);

// The calibration certificate of TProtokoll for one calibration data file: the result table
// from a check data set, the certificate as rich text (HTML), and the record of each printed
// certificate as a CERTIFICATE section from which it can be restored.
class Certificate {
  public:
    Certificate(std::string dataFile, std::string referenceIni);

    // FormShow: the check data sets (Mode "Flow") and the stored certificates.
    std::vector<std::string> dataSets() const;
    std::vector<std::string> storedCertificates() const;

    // LadenClick: the inputs a CERTIFICATE section recorded; false when there is none.
    bool LadenClick(const std::string& section, CertificateInput& in) const;

    // ErzeugenBtnClick: the certificate for the inputs; keeps what a record needs.
    std::string ErzeugenBtnClick(const CertificateInput& in, const DateTime& today);
    const std::vector<std::string>& resultLines() const { return lines_; }

    // After DruckenBtnClick printed: a new certificate printed on a real printer is recorded
    // as the next CERTIFICATE section; a document writer (a name with "Distiller", or PDF
    // output) and a restored certificate are not. Returns the section written, "" when none
    // (`error` says why when the write failed).
    std::string recordPrinted(const std::string& printerName, bool restoring, const DateTime& now,
                              std::string* error = nullptr);
    static bool isDocumentWriter(const std::string& printerName);
    // The printer preselected for a certificate: the first whose name holds "2100", else the
    // current one.
    static std::string choosePrinter(const std::vector<std::string>& names,
                                     const std::string& current);

  private:
    std::string dataFile_, referenceIni_;
    CertificateInput last_;
    std::vector<std::string> lines_;
    std::vector<ReferenceInstrument> references_;
    std::string setTemp_;
    bool made_ = false;
};

} // namespace getkelo
