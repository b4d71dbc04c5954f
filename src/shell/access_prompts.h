#pragma once
#include <string>

namespace getkelo {

class Clock;
class IniFile;
class TextSource;
class UiAdapter;

// The service-code dialog: asks for the code with the stored one as initial text and stores
// the answer. Cancel leaves the stored value alone. True when a value was written.
// `texts` gives the caption and prompt in the operator's language (German without).
bool editServicePassword(UiAdapter& ui, IniFile& settings, const TextSource* texts = nullptr);

// Asks for the daily access code ("Passwort"); true only for the exact code of today.
bool askDailyAccessCode(UiAdapter& ui, Clock& clock, const TextSource* texts = nullptr);

} // namespace getkelo
