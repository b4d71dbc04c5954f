#pragma once
#include <string>

namespace getkelo {

// How "Konfig erzeugen" and "Konfig einlesen" treat a device, from its software version text
// compared as text, byte by byte (so "10.1.0" sorts before "4.0.0"): below "4.0.0" the older
// generations, whose setup is a data set in the calibration data file; above it series 4,
// whose setup is a file of its own. "4.0.0" itself is neither and has no setup.
enum class SetupKind { Older, Series4, Neither };
SetupKind setupKindOf(const std::string& version);

// Where an older device's setup goes: the working directory and the data-file name of a
// "tesra Typ03" device ("123456t03.dat", in the new layout "123/123456t03.dat"). Empty when
// the serial text is no decimal number.
std::string olderSetupFilePath(const std::string& workDir, bool newStructure,
                               const std::string& serial);

// Where a series-4 setup goes, in the data-file directory: "<serial>t04.dat", or with the new
// layout "tesra typ0<major>/" + the data-file name of type "tesra Typ0<major>" (versions
// "4.x" give "tesra typ04/123/123456t04.dat"; "7.x" to "9.x" carry the same rule on).
// Empty when the serial text is no decimal number or the version is not series 4.
std::string series4SetupFilePath(const std::string& dataDir, bool newStructure,
                                 const std::string& version, const std::string& serial);

} // namespace getkelo
