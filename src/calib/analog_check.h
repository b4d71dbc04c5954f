#pragma once
#include "calib/analog_coefficients.h"

#include <string>
#include <vector>

namespace getkelo {

class CalibDataFiles;
class TTesra;
class TextSource;
class UiAdapter;

// The checks of the page "Analog I/O": the device's analog output and its set-point input at
// 0, 10, 25, 50, 75 and 100 % of the span, each into a grid of six rows (device, reference,
// error in % of full scale) that is stored as a DATAIO section; adjusting (zero) and
// calibrating (gain and zero) from the last complete check, written into the coefficients.
//
// The output check drives the output in the control mode 23 and puts the mode back
// afterwards however the check ends. A correction works only on a complete check made with
// the coefficients the device holds now (read again before correcting): once new ones are
// written the grid is cleared, so the same errors are never corrected twice.
class AnalogCheck {
  public:
    AnalogCheck(TTesra& tesra, UiAdapter& ui, const TextSource& texts, CalibDataFiles& files);

    void setDataFile(const std::string& path) { dataFile_ = path; }
    void setOperator(const std::string& name, const std::string& remark);

    // AnalogSheetShow: both choices must suit the device's type code (each refused one is
    // named with "Ungültiger Typ-Code!"); reads the coefficients. A grid stays while its
    // signal and the coefficients are the same. False when a choice is refused.
    bool AnalogSheetShow(const AnalogRange& output, const AnalogRange& input);

    // The checks: true when all six points were taken and stored.
    bool PruefAusBtnClick(const AnalogRange& range);
    bool PruefEinBtnClick(const AnalogRange& range);
    // Corrections from the last complete check of that side: true when written.
    bool JustAusBtnClick() { return correct(AnalogSide::Output, AnalogFit::ZeroOnly); }
    bool KalibAusBtnClick() { return correct(AnalogSide::Output, AnalogFit::GainAndZero); }
    bool JustEinBtnClick() { return correct(AnalogSide::Input, AnalogFit::ZeroOnly); }
    bool KalibEinBtnClick() { return correct(AnalogSide::Input, AnalogFit::GainAndZero); }

    // The grid of a side: its range and the rows taken so far (six when complete).
    struct Grid {
        AnalogRange range;
        std::vector<AnalogRow> rows;
        AnalogCoefficients measuredWith;
        bool complete() const { return rows.size() == kAnalogPoints; }
    };
    const Grid& grid(AnalogSide side) const { return grids_[index(side)]; }
    // Coefficients as last read or written.
    const AnalogCoefficients& coefficients(AnalogSide side) const {
        return coefficients_[index(side)];
    }
    // The DATAIO section the last check went to ("" when none).
    const std::string& lastSection() const { return lastSection_; }

  private:
    static int index(AnalogSide side) { return side == AnalogSide::Output ? 0 : 1; }
    std::string text(const char* key, const char* fallback,
                     const std::vector<std::string>& args = {}) const;
    bool suits(AnalogSide side, const AnalogRange& range);
    bool prepare(AnalogSide side, const AnalogRange& range, bool keepGrid);
    bool readCoefficients(AnalogSide side, const AnalogRange& range);
    bool driveOutput(const std::vector<double>& points);
    bool takeInput(const std::vector<double>& points);
    bool correct(AnalogSide side, AnalogFit fit);
    bool store(AnalogSide side);
    void tell(const std::string& message, const char* caption);

    TTesra& tesra_;
    UiAdapter& ui_;
    const TextSource& texts_;
    CalibDataFiles& files_;
    std::string dataFile_, operator_, remark_, lastSection_;
    Grid grids_[2];
    AnalogCoefficients coefficients_[2];
};

} // namespace getkelo
