#include "calib/run_journal.h"

#include "base/ini_file.h"
#include "base/make_folders.h"
#include "calib/list_helpers.h"

namespace getkelo {
namespace {

constexpr const char* kRun = "Run";
constexpr const char* kSteps = "Steps";

bool emptyRow(const StepRow& r) {
    return r.refNo.empty() && r.refFlow.empty() && r.deviceFlow.empty();
}

} // namespace

RunJournal::RunJournal(const std::string& dataFile) {
    if (dataFile.empty()) return;
    const size_t dot = dataFile.rfind('.');
    const size_t slash = dataFile.rfind('/');
    const bool extension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    path_ = (extension ? dataFile.substr(0, dot) : dataFile) + ".run";
}

bool RunJournal::save(const Contents& c, std::string* error) {
    if (path_.empty()) return false;
    size_t used = c.rows.size();
    while (used > 0 && emptyRow(c.rows[used - 1]))
        --used;
    if (used == 0) {
        clear();
        return true;
    }
    std::string why;
    if (!makeFolders(folderOfPath(path_), &why)) {
        if (error) *error = why;
        return false;
    }
    IniFile file(path_);
    {
        IniFile::Batch batch(file);
        file.eraseSection(kRun);
        file.eraseSection(kSteps);
        file.writeString(kRun, "Date", c.date);
        file.writeString(kRun, "Time", c.time);
        file.writeString(kRun, "RefUnit", c.refUnit);
        file.writeString(kRun, "DeviceUnit", c.deviceUnit);
        file.writeInteger(kRun, "Mode", c.mode);
        for (size_t i = 0; i < used; ++i) {
            const StepRow& r = c.rows[i];
            file.writeString(kSteps, std::to_string(i + 1),
                             r.refNo + ";" + r.refFlow + ";" + r.deviceFlow);
        }
    }
    if (error) *error = file.lastError();
    return file.lastError().empty();
}

std::optional<RunJournal::Contents> RunJournal::load() const {
    if (path_.empty()) return std::nullopt;
    IniFile file(path_);
    if (!file.sectionExists(kSteps)) return std::nullopt;
    Contents c;
    c.date = file.readString(kRun, "Date");
    c.time = file.readString(kRun, "Time");
    c.refUnit = file.readString(kRun, "RefUnit");
    c.deviceUnit = file.readString(kRun, "DeviceUnit");
    c.mode = static_cast<int>(file.readInteger(kRun, "Mode", 0));
    for (int i = 1; i <= kMaxSteps; ++i) {
        const std::string line = file.readString(kSteps, std::to_string(i), "\x01");
        if (line == "\x01") break;
        std::vector<std::string> cells = ListItems(line);
        cells.resize(3);
        c.rows.push_back({cells[0], cells[1], cells[2]});
    }
    if (c.rows.empty()) return std::nullopt;
    return c;
}

void RunJournal::clear() {
    if (!path_.empty()) removeFile(path_);
}

} // namespace getkelo
