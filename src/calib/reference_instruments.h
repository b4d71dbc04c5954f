#pragma once
#include <string>
#include <vector>

namespace getkelo {

// One reference instrument of "KalibRef.ini": key "CERTIFICATE" holds
// "type;serial number;code;certificate".
struct ReferenceInstrument {
    int number = 0; // 1..3
    std::string type, serial, code, certificate;
    std::string line; // the value as stored
    bool empty() const { return line.empty(); }
};

// The three references of a "KalibRef.ini". The sections are "Reference_U1".."Reference_U3";
// files that name them "Reference_1".."Reference_3" are read too. A missing file or
// section gives an empty entry.
std::vector<ReferenceInstrument> readReferenceInstruments(const std::string& iniPath);

} // namespace getkelo
