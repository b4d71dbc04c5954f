#include "shell/access_prompts.h"

#include "base/clock.h"
#include "base/date_time.h"
#include "base/ini_file.h"
#include "shell/daily_access_code.h"
#include "ui/ui_adapter.h"

namespace getkelo {

bool editServicePassword(UiAdapter& ui, IniFile& settings) {
    const std::string stored = settings.readString("Programm", "ServicePasswort", "");
    auto answer = ui.inputBox("Service Passwort", "Code:", stored);
    if (!answer) return false;
    return settings.writeString("Programm", "ServicePasswort", *answer);
}

bool askDailyAccessCode(UiAdapter& ui, Clock& clock) {
    auto answer = ui.inputBox("Passwort", "Bitte Passwort eingeben:", "");
    if (!answer) return false;
    return checkDailyAccessCode(*answer, localDateTime(clock.nowMs()));
}

} // namespace getkelo
