#include "console/console_settings.h"

#include "base/number_format.h"

#include <cctype>

namespace getkelo {

namespace {

const char* const kProgramm = "Programm";
const char* const kInit = "Init";

std::string withSlash(std::string dir) {
    if (!dir.empty() && dir.back() != '/') dir += '/';
    return dir;
}

// Window sizes outside what any screen shows are taken as damage and give the default.
int plausibleSize(long long v, int def) {
    return v >= 50 && v <= 20000 ? static_cast<int>(v) : def;
}

int inRange(long long v, int lo, int hi, int def) {
    return v >= lo && v <= hi ? static_cast<int>(v) : def;
}

// A log interval as stored: whole seconds as an integer ("5", as older files hold them), a
// fraction with "." ("1.5").
std::string intervalText(double seconds) {
    return formatGeneral(seconds, 7);
}

} // namespace

ConsoleSettings::ConsoleSettings(std::string iniPath, std::string programDir, std::string homeDir)
    : ini_(std::move(iniPath)), programDir_(withSlash(std::move(programDir))),
      homeDir_(std::move(homeDir)) {
    while (homeDir_.size() > 1 && homeDir_.back() == '/')
        homeDir_.pop_back();
}

void ConsoleSettings::load() {
    updateDir = ini_.readString(kProgramm, "UpdateVerzeichnis");
    if (updateDir.empty()) updateDir = programDir_ + "SWUpdate/";
    dataDir = ini_.readString(kProgramm, "DatVerzeichnis");
    serviceMode = isServiceCode(ini_.readString(kProgramm, "ServicePasswort"));
    workDir = ini_.readString(kProgramm, "Verzeichnis");
    graphWidth = plausibleSize(ini_.readInteger(kProgramm, "Graph_W", 643), 643);
    graphHeight = plausibleSize(ini_.readInteger(kProgramm, "Graph_H", 483), 483);
    newDirectoryStructure = newDirectoryStructureStored();
    reloadProductionMode();
}

void ConsoleSettings::reloadProductionMode() {
    productionMode = isProductionCode(ini_.readString("Produktion", "Produktion"));
}

std::vector<StoredDevice> ConsoleSettings::storedDevices() const {
    std::vector<StoredDevice> out;
    // The list ends at the first missing or 0 key; the bound only guards against a damaged file
    // with endless keys.
    for (int n = 1; n <= 1000; ++n) {
        std::string key = "tesra_" + std::to_string(n);
        if (!ini_.valueExists(kInit, key)) break;
        long long address = 0;
        if (!parseInteger(ini_.readString(kInit, key), address)) continue; // damaged: skip it
        if (address == 0) break;
        if (address < 1 || address > 247) continue;
        out.push_back(
            {static_cast<int>(address), ini_.readBool(kInit, "tesraLog_" + std::to_string(n))});
    }
    return out;
}

bool ConsoleSettings::newDirectoryStructureStored() const {
    return ini_.readBool(kInit, "NewDirectoryStructure");
}

bool ConsoleSettings::multi() const {
    return ini_.readBool(kInit, "Multi");
}

int ConsoleSettings::aktiv() const {
    return inRange(ini_.readInteger(kInit, "Aktiv", 1), 1, 247, 1);
}

LoggerSettings ConsoleSettings::loggerSettings() const {
    LoggerSettings s;
    s.sollCheck = ini_.readBool(kInit, "SollCheck");
    s.totalCheck = ini_.readBool(kInit, "TotalCheck");
    s.tempCheck = ini_.readBool(kInit, "TempCheck");
    s.ventilCheck = ini_.readBool(kInit, "VentilCheck");
    // The interval may have a fraction (1.5 s); the lines per file are whole.
    double interval = 0;
    s.dZeitEdit = parseNumber(ini_.readString(kInit, "dZeitEdit", "0"), interval) &&
                          interval >= 0 && interval <= 86400 * 7
                      ? intervalText(interval)
                      : "0";
    s.logGroup = inRange(ini_.readInteger(kInit, "LogGroup", 0), 0, 2, 0);
    s.zeilenEdit =
        std::to_string(inRange(ini_.readInteger(kInit, "ZeilenEdit", 100), 1, 1000000000, 100));
    s.dauerBox = inRange(ini_.readInteger(kInit, "DauerBox", 0), 0, 3, 0);
    s.log = ini_.readBool(kInit, "Log");
    return s;
}

std::string ConsoleSettings::connectionRangeError(const IniFile& ini, const std::string& section) {
    const bool tcp = ini.readBool(section, "TcpIp", false);
    const char* key = tcp ? "Port" : "Com";
    const long long max = tcp ? 65535 : 255;
    const long long v = ini.readInteger(section, key, tcp ? 0 : 1);
    if (v >= 0 && v <= max) return {};
    return "[" + section + "] " + key + "=" + std::to_string(v) + " (0.." + std::to_string(max) +
           ")";
}

bool ConsoleSettings::saveState(const ConsoleState& state) {
    {
        IniFile::Batch batch(ini_);
        ini_.eraseSection(kInit);
        const LoggerSettings& l = state.logger;
        ini_.writeBool(kInit, "Multi", state.multi);
        ini_.writeBool(kInit, "Log", l.log);
        ini_.writeBool(kInit, "SollCheck", l.sollCheck);
        ini_.writeBool(kInit, "TotalCheck", l.totalCheck);
        ini_.writeBool(kInit, "TempCheck", l.tempCheck);
        ini_.writeBool(kInit, "VentilCheck", l.ventilCheck);
        double interval = 0;
        ini_.writeString(kInit, "dZeitEdit",
                         parseNumber(l.dZeitEdit, interval) ? intervalText(interval) : l.dZeitEdit);
        ini_.writeInteger(kInit, "LogGroup", l.logGroup);
        ini_.writeString(kInit, "ZeilenEdit", l.zeilenEdit);
        ini_.writeInteger(kInit, "DauerBox", l.dauerBox);
        ini_.writeInteger(kInit, "NewDirectoryStructure", newDirectoryStructure ? 1 : 0);
        ini_.writeInteger(kInit, "Aktiv", state.aktiv);
        for (size_t i = 0; i < state.devices.size(); ++i) {
            std::string n = std::to_string(i + 1);
            ini_.writeString(kInit, "tesra_" + n, std::to_string(state.devices[i].address));
            if (state.devices[i].logged) ini_.writeBool(kInit, "tesraLog_" + n, true);
        }
    } // the file is written here, at the end of the batch
    return ini_.lastError().empty();
}

bool ConsoleSettings::saveDirectories(int width, int height) {
    {
        IniFile::Batch batch(ini_);
        ini_.writeString(kProgramm, "Verzeichnis", workDir);
        ini_.writeString(kProgramm, "UpdateVerzeichnis", updateDir);
        ini_.writeString(kProgramm, "DatVerzeichnis", dataDir);
        ini_.writeInteger(kProgramm, "Graph_W", width);
        ini_.writeInteger(kProgramm, "Graph_H", height);
    }
    return ini_.lastError().empty();
}

std::vector<std::string> ConsoleSettings::mixerNames() const {
    std::vector<std::string> names;
    for (const std::string& section : ini_.sectionNames())
        if (section.find("Mischer") != std::string::npos)
            names.push_back(ini_.readString(section, "Name"));
    return names;
}

std::string ConsoleSettings::dataBaseDir() const {
    return mapWindowsPath(ini_.readString("DIR", "dat", "N:\\Device Data\\"));
}

std::string ConsoleSettings::mapWindowsPath(const std::string& path) const {
    bool drive =
        path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':';
    if (!drive) return path;
    std::string rest = path.substr(2);
    for (char& c : rest)
        if (c == '\\') c = '/';
    if (rest.empty() || rest.front() != '/') rest.insert(rest.begin(), '/');
    return homeDir_ + rest;
}

bool ConsoleSettings::isServiceCode(const std::string& servicePassword) {
    return servicePassword.rfind("R2K", 0) == 0;
}

bool ConsoleSettings::isProductionCode(const std::string& code) {
    return code == "QZPN";
}

} // namespace getkelo
