// WriteAnalogSection: the result of an analog check as a DATAIO section.
#include "base/clock.h"
#include "base/date_time.h"
#include "base/ini_file.h"
#include "calib/calib_data_files.h"
#include "calib/section_names.h"
#include "comm/ttesra.h"
#include "ui/ui_adapter.h"

namespace getkelo {

std::string
CalibDataFiles::WriteAnalogSection(const std::string& filePath, const std::string& operatorName,
                                   const std::string& remark,
                                   const std::vector<std::pair<std::string, std::string>>& lists) {
    if (filePath.empty()) {
        ui_.messageBox(message("infoPointNotStored",
                               "Der Messpunkt wurde nicht gespeichert: Datei oder Gerät fehlt."),
                       "Kalibrationsdaten", MsgIcon::Error, MsgButtons::Ok);
        return "";
    }
    IniFile file(filePath);
    const std::string section = nextSectionName(file, "DATAIO");
    const DateTime now = localDateTime(tesra_.comm().clock().nowMs());
    std::vector<std::pair<std::string, std::string>> pairs = {{"Date", formatShortDate(now)},
                                                              {"Time", formatLongTime(now)},
                                                              {"OperatorName", operatorName},
                                                              {"Remark", remark}};
    pairs.insert(pairs.end(), lists.begin(), lists.end());
    return writeSection(file, section, pairs) ? section : std::string();
}

} // namespace getkelo
