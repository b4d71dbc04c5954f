#include "graphs/zoom_limits.h"

#include "base/ini_file.h"
#include "base/number_format.h"
#include "ui/ui_adapter.h"

namespace getkelo {

namespace {
constexpr const char* kSection = "Zoomen";

std::string trimmed(const std::string& s) {
    const size_t a = s.find_first_not_of(" \t");
    if (a == std::string::npos) return "";
    const size_t b = s.find_last_not_of(" \t");
    return s.substr(a, b - a + 1);
}

// A stored limit that is not a number counts as inactive.
bool active(const std::string& limit, double& value) {
    return !limit.empty() && parseNumber(limit, value);
}
} // namespace

ZoomLimits::ZoomLimits(IniFile& settings) : ini_(settings) {
    high_ = ini_.readString(kSection, "Hoch", "");
    low_ = ini_.readString(kSection, "Tief", "");
    alarm_ = ini_.readBool(kSection, "Alarm", false);
}

bool ZoomLimits::askHigh(UiAdapter& ui, const std::string& unit) {
    return ask(ui, "Oberer Grenzwert [" + unit + "]:\n(leer = inaktiv):", high_, "Hoch");
}

bool ZoomLimits::askLow(UiAdapter& ui, const std::string& unit) {
    return ask(ui, "Unterer Grenzwert [" + unit + "]:\n(leer = inaktiv)", low_, "Tief");
}

bool ZoomLimits::ask(UiAdapter& ui, const std::string& prompt, std::string& limit,
                     const char* key) {
    const auto answer = ui.inputBox("Grenzwerte", prompt, limit);
    if (!answer) return false;
    const std::string text = trimmed(*answer);
    double value;
    if (!text.empty() && !parseNumber(text, value)) {
        ui.messageBox("\"" + text + "\" ist keine Zahl; der Grenzwert bleibt " +
                          (limit.empty() ? std::string("inaktiv") : limit) + ".",
                      "Grenzwerte", MsgIcon::Warning);
        return false;
    }
    if (text == limit) return false;
    limit = text;
    ini_.writeString(kSection, key, limit);
    return true;
}

void ZoomLimits::setAlarm(bool on) {
    alarm_ = on;
    ini_.writeBool(kSection, "Alarm", on);
}

ZoomReading ZoomLimits::reading(const std::string& flowText, const std::string& unit) const {
    ZoomReading r;
    r.text = flowText + " " + unit;
    const double flow = TextToFloat(flowText);
    double limit;
    r.outside = (active(high_, limit) && flow > limit) || (active(low_, limit) && flow < limit);
    r.beep = r.outside && alarm_;
    return r;
}

void ZoomLimits::windowSize(int& width, int& height) const {
    width = static_cast<int>(ini_.readInteger(kSection, "Zoom_W", 300));
    height = static_cast<int>(ini_.readInteger(kSection, "Zoom_H", 150));
    if (width < 100 || width > 4000) width = 300;
    if (height < 60 || height > 3000) height = 150;
}

void ZoomLimits::saveWindowSize(int width, int height) {
    IniFile::Batch batch(ini_);
    ini_.writeInteger(kSection, "Zoom_W", width);
    ini_.writeInteger(kSection, "Zoom_H", height);
}

} // namespace getkelo
