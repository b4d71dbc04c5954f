#pragma once
#include <string>

namespace getkelo {

class IniFile;
class UiAdapter;

// What a zoom window shows for one good poll.
struct ZoomReading {
    std::string text;     // flow text + " " + unit
    bool outside = false; // above "Hoch" or below "Tief": dark red instead of green
    bool beep = false;    // outside with "Akustisch" on
};

// The limits and the acoustic alarm of the zoom windows, kept in section "Zoomen" of the
// settings file (keys "Hoch", "Tief" as texts, empty = inactive; "Alarm"; the window size as
// "Zoom_W" and "Zoom_H"). Every zoom window starts from what is stored, and a change is
// stored at once, so the last limits set are the ones a new window gets.
class ZoomLimits {
  public:
    explicit ZoomLimits(IniFile& settings);

    const std::string& high() const { return high_; }
    const std::string& low() const { return low_; }
    bool alarm() const { return alarm_; }

    // "Grenzwerte" / "Hoch" and "Tief": asks with the input box "Grenzwerte"; an empty answer
    // switches the limit off, Cancel keeps it, a text that is not a number is refused with a
    // message and keeps it. True when the limit changed.
    bool askHigh(UiAdapter& ui, const std::string& unit);
    bool askLow(UiAdapter& ui, const std::string& unit);
    // "Alarm" / "Akustisch".
    void setAlarm(bool on);

    ZoomReading reading(const std::string& flowText, const std::string& unit) const;

    void windowSize(int& width, int& height) const;
    void saveWindowSize(int width, int height);

  private:
    bool ask(UiAdapter& ui, const std::string& prompt, std::string& limit, const char* key);

    IniFile& ini_;
    std::string high_, low_;
    bool alarm_ = false;
};

} // namespace getkelo
