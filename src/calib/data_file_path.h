#pragma once
#include <string>

namespace getkelo {

class ConsoleSettings;

// Where calibration data files live: the base folder and whether the newer folder layout
// (one subfolder per thousand serial numbers) is used.
struct DataFileRoot {
    std::string baseDir; // ends with "/"
    bool newStructure = false;
};

// The root of the settings file: [DIR] "dat" (default "N:\Device Data\", mapped under the
// home folder) and the new-directory-structure flag.
DataFileRoot dataFileRoot(const ConsoleSettings& settings);

// The generation tag of a device type text: its first character and its last two
// ("tesra Typ03" gives "t03", "varon Typ02" gives "v02").
std::string generationTag(const std::string& typeText);

// The data file of one device: base + typeText + "/" + name, the name being
// serial + tag + ".dat", in the new layout inside a folder serial / 1000
// (serial 123456 of a "tesra Typ03" gives "tesra Typ03/123/123456t03.dat").
// Empty when the serial text is not a decimal number or the type text cannot name a folder
// (shorter than three characters, or holding "/" or "\"): such a path would file a device's
// data under a name that is not its own.
std::string MakeDataFilePath(const DataFileRoot& root, const std::string& typeText,
                             const std::string& serialText);

// The name part of that path: serial + tag + ".dat", in the new layout preceded by the folder
// serial / 1000 ("123/123456t03.dat"); empty for the same reasons.
std::string dataFileName(const std::string& typeText, const std::string& serialText,
                         bool newStructure);

// The generation tag carried by a data file's name ("v02", "t03"), or "" when its name has
// none; only the file name counts, not its folders.
std::string dataFileGeneration(const std::string& path);

} // namespace getkelo
