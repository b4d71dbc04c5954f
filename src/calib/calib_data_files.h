#pragma once
#include "calib/calib_point.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace getkelo {

class IniFile;
class TTesra;
class TextSource;
class UiAdapter;

// The operations that move data between one device connection and calibration data files
// (INI syntax; sections DATAn, DATAIOn, LOOKUPn, CERTIFICATE). Every section is written in
// one atomic replacement of the file, so a failed write leaves the file as it was; the
// operator then gets a message naming the file. Device values are read and written at the
// connection's current address unless an operation takes one.
//
// Messages come from the language file (keys of data/texts/16_calibration_data_files.tsv);
// a missing key falls back to the German text.
class CalibDataFiles {
  public:
    CalibDataFiles(TTesra& tesra, UiAdapter& ui, const TextSource& texts);

    // Writes the DATA section named by info[0] into the file info[1], with the per-device
    // lists of point.devices[deviceIndex] ("Date", "Time", "OperatorName", "Batch", ...).
    // "LutID" is read from the device unless the mode is "Ticks". A section of that name
    // that exists already is never mixed into: the point goes to the next free name, which
    // info[0] then holds. When the write fails the operator may try again; false when the
    // point was not stored.
    bool WritePointSection(const TCalibPoint& point, std::vector<std::string>& info,
                           int deviceIndex);

    // Appends the result of an analog check as a new section "DATAIO" + n: "Date", "Time",
    // "OperatorName", "Remark", then the lists. Returns the section, or "" when the write
    // failed and the operator did not try again.
    std::string WriteAnalogSection(const std::string& filePath, const std::string& operatorName,
                                   const std::string& remark,
                                   const std::vector<std::pair<std::string, std::string>>& lists);

    // Reads the parameters and 129 values of lookup-table slot `slot` and appends them as a
    // new LOOKUP section with its "Check". sourceIdent 0: no "DataSource". Nothing is
    // written when any read fails (the operator is told); returns the section written, or
    // "" when none was.
    std::string ReadLutToSection(const std::string& filePath, int slot, uint32_t sourceIdent);

    enum class SectionWrite {
        Written,
        NotApplicable, // a section named with "-1", or a file of neither "v02" nor "t03"
        Refused,       // the section is missing or holds values no device should get
        Failed,        // the device did not take it (the operator has been told)
    };
    // Writes a LOOKUP section into a device: for a "v02" file into the EEPROM image through
    // the service protocol, for a "t03" file into slot `slot` at bus address `busAddress`
    // (its 129 values, the parameters, "LutSelect"). Every value is checked before the first
    // write: "FlowValues" must hold exactly 129 finite numbers; a parameter that is missing,
    // empty or "Fehler" keeps the device's value; any other unusable value refuses the whole
    // section with a message naming it.
    SectionWrite WriteSectionToDevice(const std::string& filePath, const std::string& section,
                                      int slot, int busAddress);
    // Factor / Divisor / 10^Digits of the last image written by WriteSectionToDevice.
    double flowScale() const { return flowScale_; }

    // The section's checksum bound to the device: its serial number plus every character of
    // every key=value line except "Check" (Windows-1252 bytes, signed, 32-bit wrapping).
    int32_t SectionChecksum(const std::string& filePath, const std::string& section);

  private:
    uint32_t deviceSerial();
    // The language file's text of key (the fallback when it has none), %1.. filled in.
    std::string message(const char* key, const char* fallback,
                        const std::vector<std::string>& args = {}) const;
    // Writes the pairs as a new section in one replacement, with a last "Check" line for the
    // serial number when one is given; asks to retry on failure.
    bool writeSection(IniFile& file, const std::string& section,
                      const std::vector<std::pair<std::string, std::string>>& pairs,
                      const uint32_t* checkSerial = nullptr);
    void tellFailure(const std::string& progressText, const std::string& message);
    SectionWrite writeImageSection(IniFile& file, const std::string& section);
    SectionWrite writeSlotSection(IniFile& file, const std::string& section, int slot,
                                  int busAddress);

    TTesra& tesra_;
    UiAdapter& ui_;
    const TextSource& texts_;
    double flowScale_ = 0;
};

// The checksum over a section's lines for a device serial number (see SectionChecksum).
int32_t checksumOfLines(const std::vector<std::pair<std::string, std::string>>& lines,
                        uint32_t serial);

// Absolute calibration pressure of a DATA section in bar: the mean of the "PressureIn" and
// "PressureOut" values (their sum over twice the number of "PressureOut" values) plus
// "PressureAmb" (mbar) / 1000.
double MeanCalibPressure(const std::string& filePath, const std::string& section);

} // namespace getkelo
