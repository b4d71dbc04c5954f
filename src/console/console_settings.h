#pragma once
#include "base/date_time.h"
#include "base/ini_file.h"

#include <string>
#include <vector>

namespace getkelo {

// The logger page's values kept in section "Init" (named after the page's controls).
struct LoggerSettings {
    bool sollCheck = false;         // "SollCheck"
    bool totalCheck = false;        // "TotalCheck"
    bool tempCheck = false;         // "TempCheck"
    bool ventilCheck = false;       // "VentilCheck"
    std::string dZeitEdit = "0";    // interval [s] as typed
    int logGroup = 0;               // 0 "Endlos", 1 "Zeilen / Datei:", 2 "Datei /"
    std::string zeilenEdit = "100"; // lines per file as typed
    int dauerBox = 0;               // file duration entry
    bool log = false;               // record button down
};

// One stored device of the last run: "tesra_<n>" and "tesraLog_<n>".
struct StoredDevice {
    int address = 0;
    bool logged = false;
};

// What a state save writes besides the logger values.
struct ConsoleState {
    bool multi = false; // "Alle Geräte simultan"
    int aktiv = 1;      // selected row
    LoggerSettings logger;
    std::vector<StoredDevice> devices; // rows 1..count in order
};

// The settings file "GetKelo.ini" of the console: the in-memory directory values and modes, and
// the reading and writing of its sections. All access goes through one IniFile.
class ConsoleSettings {
  public:
    // programDir: the installed data folder (language files, help, "Kontakt.txt"), with or
    // without a trailing "/". homeDir: where Windows drive defaults are mapped to.
    ConsoleSettings(std::string iniPath, std::string programDir, std::string homeDir);

    IniFile& file() { return ini_; }
    const IniFile& file() const { return ini_; }

    // Reads [Programm] at start-up: directories, service mode, production mode, graph size.
    void load();
    // Re-evaluates the production code (done at every device selection).
    void reloadProductionMode();

    // "Init": the stored devices, read as start-up does: up to the first missing or 0
    // "tesra_<n>"; a key that holds no usable address (not a number, outside 1..247) is skipped.
    std::vector<StoredDevice> storedDevices() const;
    bool newDirectoryStructureStored() const;
    // "Init" values restored at start-up.
    bool multi() const;
    int aktiv() const;
    LoggerSettings loggerSettings() const;

    // A stored connection number the channel cannot take (a TCP port over 65535, a COM number
    // over 255), as "[Tesra] Port=99533 (0..65535)"; "" when it fits. Such a value would be cut
    // to another port, so it is refused instead.
    static std::string connectionRangeError(const IniFile& ini, const std::string& section);

    // Rewrites section "Init" whole in one atomic write.
    bool saveState(const ConsoleState& state);
    // [Programm] directories and graph size, written at exit.
    bool saveDirectories(int graphWidth, int graphHeight);

    // The names ("Name") of the mixer sections, in file order.
    std::vector<std::string> mixerNames() const;

    const std::string& programDir() const { return programDir_; }
    std::string workDir;   // "Verzeichnis"
    std::string updateDir; // "UpdateVerzeichnis"
    std::string dataDir;   // "DatVerzeichnis"
    bool newDirectoryStructure = false;
    bool serviceMode = false;
    bool productionMode = false;
    int graphWidth = 643;
    int graphHeight = 483;

    // [DIR] "dat": base folder of the calibration data files; the Windows default
    // "N:\Device Data\" is "<home>/Device Data/" here.
    std::string dataBaseDir() const;
    // A stored Windows path with a drive letter mapped under the home folder, "\" as "/".
    std::string mapWindowsPath(const std::string& path) const;

    static bool isServiceCode(const std::string& servicePassword);
    static bool isProductionCode(const std::string& code);

  private:
    IniFile ini_;
    std::string programDir_;
    std::string homeDir_;
};

} // namespace getkelo
