#include "console/mixer/mixer_store.h"

#include "base/ini_file.h"
#include "base/number_format.h"

namespace getkelo {

double shareDivisor(ShareUnit unit) {
    return unit == ShareUnit::Ppm ? 1000000.0 : 100.0;
}

std::vector<MixerEntry> MixerStore::list() const {
    std::vector<MixerEntry> out;
    for (const std::string& section : ini_.sectionNames())
        if (section.find("Mischer") != std::string::npos)
            out.push_back({section, ini_.readString(section, "Name")});
    return out;
}

std::string MixerStore::create(const std::string& name) {
    int n = 0;
    while (ini_.sectionExists("Mischer" + std::to_string(n)))
        ++n;
    std::string section = "Mischer" + std::to_string(n);
    if (!ini_.writeString(section, "Name", name)) return {};
    return section;
}

bool MixerStore::erase(const std::string& section) {
    return ini_.eraseSection(section);
}

MixerDefinition MixerStore::read(const std::string& section) const {
    MixerDefinition d;
    d.section = section;
    d.name = ini_.readString(section, "Name");
    for (int n = 1;; ++n) {
        long long a = ini_.readInteger(section, "tesra_" + std::to_string(n), 0);
        if (a == 0) break;
        d.addresses.push_back(static_cast<int>(a));
    }
    for (int n = 1; ini_.valueExists(section, "GasName_" + std::to_string(n)); ++n) {
        StoredShare s;
        s.gasName = ini_.readString(section, "GasName_" + std::to_string(n));
        std::string share = ini_.readString(section, "GasAnteil_" + std::to_string(n));
        if (share == kMasterShare) {
            s.master = true;
        } else {
            double v = 0;
            if (parseNumber(share, v)) s.fraction = v;
        }
        d.shares.push_back(std::move(s));
    }
    d.shareUnit = ini_.readInteger(section, "Anteil", 0) == 1 ? ShareUnit::Ppm : ShareUnit::Percent;
    return d;
}

bool MixerStore::writeShares(const std::string& section, const std::vector<StoredShare>& shares,
                             ShareUnit unit) {
    IniFile::Batch batch(ini_);
    bool ok = true;
    for (int n = 1; ini_.valueExists(section, "GasName_" + std::to_string(n)); ++n) {
        ok = ini_.deleteKey(section, "GasName_" + std::to_string(n)) && ok;
        ok = ini_.deleteKey(section, "GasAnteil_" + std::to_string(n)) && ok;
    }
    for (size_t i = 0; i < shares.size(); ++i) {
        const std::string n = std::to_string(i + 1);
        ok = ini_.writeString(section, "GasName_" + n, shares[i].gasName) && ok;
        if (shares[i].master)
            ok = ini_.writeString(section, "GasAnteil_" + n, kMasterShare) && ok;
        else
            ok = ini_.writeFloat(section, "GasAnteil_" + n, shares[i].fraction) && ok;
    }
    ok = ini_.writeInteger(section, "Anteil", static_cast<int>(unit)) && ok;
    return ok;
}

bool MixerStore::writeAddresses(const std::string& section, const std::vector<int>& addresses) {
    IniFile::Batch batch(ini_);
    bool ok = true;
    for (int n = 1; ini_.valueExists(section, "tesra_" + std::to_string(n)); ++n)
        ok = ini_.deleteKey(section, "tesra_" + std::to_string(n)) && ok;
    for (size_t i = 0; i < addresses.size(); ++i)
        ok = ini_.writeInteger(section, "tesra_" + std::to_string(i + 1), addresses[i]) && ok;
    return ok;
}

} // namespace getkelo
