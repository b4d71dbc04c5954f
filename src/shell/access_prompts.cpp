#include "shell/access_prompts.h"

#include "base/clock.h"
#include "base/date_time.h"
#include "base/ini_file.h"
#include "console/text_source.h"
#include "shell/daily_access_code.h"
#include "ui/ui_adapter.h"

namespace getkelo {

namespace {
std::string text(const TextSource* texts, const char* key, const char* german) {
    return texts ? textOr(*texts, key, german) : std::string(german);
}
} // namespace

bool editServicePassword(UiAdapter& ui, IniFile& settings, const TextSource* texts) {
    const std::string stored = settings.readString("Programm", "ServicePasswort", "");
    auto answer = ui.inputBox(text(texts, "ServicePasswortMnu", "Service Passwort"),
                              text(texts, "ServiceCodePrompt", "Code:"), stored);
    if (!answer) return false;
    return settings.writeString("Programm", "ServicePasswort", *answer);
}

bool askDailyAccessCode(UiAdapter& ui, Clock& clock, const TextSource* texts) {
    auto answer = ui.inputBox(text(texts, "PasswordCaption", "Passwort"),
                              text(texts, "PasswordPrompt", "Bitte Passwort eingeben:"), "");
    if (!answer) return false;
    return checkDailyAccessCode(*answer, localDateTime(clock.nowMs()));
}

} // namespace getkelo
