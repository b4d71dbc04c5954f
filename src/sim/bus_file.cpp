#include "sim/bus_file.h"
#include "base/integer_parse.h"

#include "base/ini_file.h"
#include "sim/device_profiles.h"

#include <climits>
#include <cstdlib>
#include <sstream>
#include <sys/stat.h>

namespace getkelo::sim {

namespace {

std::vector<int> intList(const std::string& text) {
    std::vector<int> out;
    std::stringstream in(text);
    std::string item;
    while (std::getline(in, item, ','))
        if (item.find_first_not_of(" \t") != std::string::npos)
            out.push_back(static_cast<int>(leadingInteger(item, INT_MIN, INT_MAX)));
    return out;
}

} // namespace

bool readBusFile(const std::string& path, std::vector<BusFileDevice>& devices, std::string& error) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        error = "cannot read bus file " + path;
        return false;
    }
    IniFile ini(path);
    devices.clear();
    if (ini.readBool("Bus", "Demo", false))
        for (auto& c : demoBus())
            devices.push_back({c, "none"});
    for (const auto& section : ini.sectionNames()) {
        if (!ini.valueExists(section, "Address")) continue;
        auto str = [&](const char* key, const std::string& def) {
            return ini.readString(section, key, def);
        };
        long long address = ini.readInteger(section, "Address", 0);
        if (address < 1 || address > 247) {
            error = "[" + section + "] Address must be 1..247";
            return false;
        }
        long long gen = ini.readInteger(section, "Generation", 4);
        if (gen < 1 || gen > 4) {
            error = "[" + section + "] Generation must be 1..4";
            return false;
        }
        DeviceConfig c = defaultConfig(static_cast<Generation>(gen));
        c.address = static_cast<uint8_t>(address);
        c.seed = static_cast<uint32_t>(address);
        c.software = str("Software", c.software);
        c.hardware = str("Hardware", c.hardware);
        c.serial = static_cast<uint32_t>(ini.readInteger(section, "Serial", 20000000 + address));
        long long functions = c.functions;
        if (parseIntegerIn(str("Functions", std::to_string(c.functions)), 0, 0xFFFFFFFFLL,
                           functions))
            c.functions = static_cast<uint32_t>(functions);
        c.range = ini.readFloat(section, "Range", c.range);
        c.unit = str("Unit", c.unit);
        c.gas = str("Gas", c.gas);
        c.totalizerUnit = str("TotalizerUnit", c.totalizerUnit);
        c.typeCode1 = str("TypeCode1", c.typeCode1);
        c.typeCode2 = str("TypeCode2", c.typeCode2);
        c.controlMode = static_cast<uint16_t>(ini.readInteger(section, "ControlMode", 0));
        c.pressureRange = ini.readFloat(section, "PressureRange", c.pressureRange);
        c.pressureUnit = str("PressureUnit", c.pressureUnit);
        c.slotCount = static_cast<int>(ini.readInteger(section, "Slots", c.slotCount));
        if (ini.valueExists(section, "UsedSlots")) c.usedSlots = intList(str("UsedSlots", ""));
        c.activeSlot = static_cast<int>(ini.readInteger(section, "ActiveSlot", c.activeSlot));
        c.meterFlow = ini.readFloat(section, "MeterFlow", c.meterFlow);
        c.timeConstantMs = ini.readFloat(section, "TimeConstantMs", c.timeConstantMs);
        c.noise = ini.readFloat(section, "Noise", c.noise);
        c.answerDelayMs = static_cast<int>(ini.readInteger(section, "AnswerDelayMs", 0));
        if (c.slotCount < 0 || c.slotCount > 31) {
            error = "[" + section + "] Slots must be 0..31";
            return false;
        }
        devices.push_back({c, str("Fault", "none")});
    }
    if (devices.empty()) {
        error = "no devices in bus file " + path;
        return false;
    }
    return true;
}

} // namespace getkelo::sim
