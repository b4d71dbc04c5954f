#pragma once
#include <string>

namespace getkelo {

class PageSession;

// One pressure PID set (0..4) as a tab of TPressSettings shows it: "Kp", "Ki", "Kd". The set
// lives in the active lookup-table slot, so each access selects that slot and the set first
// and puts the slot selector back to 0 after it.
class PressContSetup {
  public:
    explicit PressContSetup(int set) : set_(set) {}

    int set() const { return set_; }
    const std::string& kp() const { return kp_; }
    const std::string& ki() const { return ki_; }
    const std::string& kd() const { return kd_; }
    // Read at least once, so the fields hold the device's values.
    bool loaded() const { return loaded_; }
    // The operator changed a field since the last read or write.
    bool edited() const { return edited_; }

    void read(PageSession& s);
    void write(PageSession& s);
    void txtKpChange(const std::string& text) { change(kp_, text); }
    void txtKiChange(const std::string& text) { change(ki_, text); }
    void txtKdChange(const std::string& text) { change(kd_, text); }

  private:
    void select(PageSession& s);
    void change(std::string& field, const std::string& text);

    int set_;
    std::string kp_, ki_, kd_;
    bool loaded_ = false;
    bool edited_ = false;
};

} // namespace getkelo
