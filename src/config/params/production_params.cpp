#include "config/params/production_params.h"

#include "base/number_format.h"
#include "comm/ttesra.h"
#include "config/params/series4_page_registers.h"

#include <array>

namespace getkelo {

std::vector<int> usedSlots(PageSession& s) {
    std::vector<int> slots;
    const long long count = s.readInteger(reg::kLutCountS4);
    for (int slot = 1; slot <= count; ++slot) {
        s.write(reg::kSlotSelector, std::to_string(slot));
        const std::string ident = s.read(reg::kLookupIdent);
        if (ident != "0" && ident != "Fehler") slots.push_back(slot);
    }
    s.write(reg::kSlotSelector, "0");
    return slots;
}

bool analogRangeValid(const AnalogSide& side) {
    long long lo = 0, hi = 0;
    if (!parseInteger(side.min, lo) || !parseInteger(side.max, hi)) return false;
    const long long top = side.voltage ? 10 : 20;
    return lo >= 0 && hi <= top && lo < hi;
}

void ProductionParams::tbsProdShow() {
    PageSession s(context_);
    if (!s) return;
    state_.usedSlots = usedSlots(s);
}

void ProductionParams::cboLutChange(int slot) {
    PageSession s(context_);
    if (!s) return;
    s.write(reg::kSlotSelector, std::to_string(slot));
    state_.dynamic = s.read(reg::kSlotDynamic);
    s.write(reg::kSlotSelector, "0");
}

void ProductionParams::btnSaveDynClick(int slot, const std::string& text) {
    long long v = 0;
    state_.dynamicWrong = slot < 1 || !parseInteger(text, v) || v < 0 || v > 0xFFFF;
    if (state_.dynamicWrong) return;
    PageSession s(context_);
    if (!s) return;
    s.write(reg::kSlotSelector, std::to_string(slot));
    s.write(reg::kSlotDynamic, std::to_string(v), "Dynamic");
    s.write(reg::kSlotSelector, "0");
    s.reportRefused("GetKelo");
}

void ProductionParams::btnSaveControllerClick(const std::vector<int>& targets) {
    PageSession s(context_);
    if (!s) return;
    struct Set {
        std::string kp, tv, tn, n;
    };
    std::array<Set, 5> sets;
    s.write(reg::kSlotSelector, std::to_string(s.readInteger(reg::kLutSelect)));
    bool wrong = false;
    auto usable = [](const std::string& v) {
        double d = 0;
        return parseNumber(v, d) && d == d; // "-NaN", "Fehler" and empty are no values
    };
    for (int k = 0; k < 5; ++k) {
        s.write(reg::kPidSetSelector, std::to_string(k));
        sets[k] = {s.read(reg::kPidKp), s.read(reg::kPidTv), s.read(reg::kPidTn),
                   s.read(reg::kPidN)};
        for (const std::string* v : {&sets[k].kp, &sets[k].tv, &sets[k].tn, &sets[k].n})
            wrong = wrong || !usable(*v);
    }
    state_.controllerWrong = wrong;
    if (!wrong) {
        for (int slot : targets) {
            s.write(reg::kSlotSelector, std::to_string(slot));
            for (int k = 0; k < 5; ++k) {
                s.write(reg::kPidSetSelector, std::to_string(k));
                s.write(reg::kPidKp, sets[k].kp, "Kp");
                s.write(reg::kPidTn, sets[k].tn, "Tn");
                s.write(reg::kPidTv, sets[k].tv, "Tv");
                s.write(reg::kPidN, sets[k].n, "N");
            }
        }
    }
    s.write(reg::kSlotSelector, "0");
    s.reportRefused("GetKelo");
}

void ProductionParams::btnSaveAnalogClick(const AnalogSide& in, const AnalogSide& out) {
    state_.analogWrong =
        (in.specific && !analogRangeValid(in)) || (out.specific && !analogRangeValid(out));
    if (state_.analogWrong) return;
    PageSession s(context_);
    if (!s) return;
    // The type code's first character marks a user output range, the second a user input.
    auto markTypeCode = [&](size_t position) {
        std::string code = s.read(reg::kTypeCode2);
        if (code == "Fehler") return; // unknown code: not overwritten with a guess
        if (code.size() <= position) code.resize(position + 1, ' ');
        code[position] = 'K';
        s.write(reg::kTypeCode2, code, "DeviceTypeCode2");
    };
    if (in.specific) {
        if (in.voltage) {
            s.write(reg::kVoltageInUserMin, in.min, "VoltageInUserMin");
            s.write(reg::kVoltageInUserMax, in.max, "VoltageInUserMax");
            s.write(reg::kVoltageInActive, "1", "VoltageInActive");
        } else {
            s.write(reg::kCurrentInUserMin, in.min, "CurrentInUserMin");
            s.write(reg::kCurrentInUserMax, in.max, "CurrentInUserMax");
            s.write(reg::kVoltageInActive, "0", "VoltageInActive");
        }
        s.write(reg::kAnalogSignalIn, reg::kAnalogUserRange, "AnalogSignalIn");
        markTypeCode(1);
    }
    if (out.specific) {
        if (out.voltage) {
            s.write(reg::kVoltageOutUserMin, out.min, "VoltageOutUserMin");
            s.write(reg::kVoltageOutUserMax, out.max, "VoltageOutUserMax");
            s.write(reg::kVoltageOutActive, "1", "VoltageOutActive");
        } else {
            s.write(reg::kCurrentOutUserMin, out.min, "CurrentOutUserMin");
            s.write(reg::kCurrentOutUserMax, out.max, "CurrentOutUserMax");
            s.write(reg::kVoltageOutActive, "0", "VoltageOutActive");
        }
        s.write(reg::kAnalogSignalOut, reg::kAnalogUserRange, "AnalogSignalOut");
        markTypeCode(0);
    }
    s.reportRefused("GetKelo");
}

} // namespace getkelo
