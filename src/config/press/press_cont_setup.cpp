#include "config/press/press_cont_setup.h"

#include "config/params/page_session.h"
#include "config/params/series4_page_registers.h"

namespace getkelo {

void PressContSetup::select(PageSession& s) {
    s.write(reg::kSlotSelector, std::to_string(s.readInteger(reg::kLutSelect)));
    s.write(reg::kPressSetSelectorS4, std::to_string(set_));
}

void PressContSetup::read(PageSession& s) {
    select(s);
    kp_ = s.read(reg::kPressKpS4);
    ki_ = s.read(reg::kPressKiS4);
    kd_ = s.read(reg::kPressKdS4);
    s.write(reg::kSlotSelector, "0");
    loaded_ = true;
    edited_ = false;
}

void PressContSetup::write(PageSession& s) {
    select(s);
    const std::string set = " (Set " + std::to_string(set_ + 1) + ")";
    s.write(reg::kPressKpS4, kp_, "Kp" + set);
    s.write(reg::kPressKiS4, ki_, "Ki" + set);
    s.write(reg::kPressKdS4, kd_, "Kd" + set);
    s.write(reg::kSlotSelector, "0");
    edited_ = false;
}

void PressContSetup::change(std::string& field, const std::string& text) {
    if (field == text) return;
    field = text;
    edited_ = true;
}

} // namespace getkelo
