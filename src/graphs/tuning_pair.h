#pragma once
#include <string>

namespace getkelo {

// Range and tick spacing of a track bar.
struct BarRange {
    int min = 0, max = 255, tick = 10; // the form's defaults
};

// One edit-and-track-bar pair of the tuning box. The bar works on the integer scale of the
// working value; a scaled pair shows position x 0.001 ("0.###") in its edit and takes typed
// values times 1000. A value read from the device keeps its fractional part until the
// operator moves that bar or types into that edit: only the operator changes a working value.
class TuningPair {
  public:
    TuningPair() = default;
    TuningPair(BarRange range, bool scaled) : range_(range), scaled_(scaled) {}

    BarRange range() const { return range_; }
    bool scaled() const { return scaled_; }

    // The operator moved the bar: the edit's new text; `value` becomes the position.
    std::string barMoved(int position, double& value) const;
    // The operator typed: the bar's new position; `value` becomes the typed number.
    int editTyped(const std::string& text, double& value) const;
    // Showing a working value: the edit text and the bar position (truncated, in range).
    std::string editText(double value) const;
    int barPosition(double value) const;

  private:
    BarRange range_;
    bool scaled_ = false;
};

} // namespace getkelo
