#include "calib/reference_instruments.h"

#include "base/ini_file.h"

namespace getkelo {

std::vector<ReferenceInstrument> readReferenceInstruments(const std::string& iniPath) {
    std::vector<ReferenceInstrument> out;
    const IniFile f(iniPath);
    for (int n = 1; n <= 3; ++n) {
        ReferenceInstrument r;
        r.number = n;
        for (const std::string& s :
             {"Reference_U" + std::to_string(n), "Reference_" + std::to_string(n)})
            if (f.valueExists(s, "CERTIFICATE")) {
                r.line = f.readString(s, "CERTIFICATE");
                break;
            }
        std::string* fields[] = {&r.type, &r.serial, &r.code, &r.certificate};
        size_t start = 0;
        for (std::string* field : fields) {
            if (start > r.line.size()) break;
            const size_t semi = r.line.find(';', start);
            *field = r.line.substr(start, semi == std::string::npos ? semi : semi - start);
            start = semi == std::string::npos ? r.line.size() + 1 : semi + 1;
        }
        out.push_back(r);
    }
    return out;
}

} // namespace getkelo
