#include "config/konfig2.h"

#include "base/flow_unit.h"
#include "base/number_format.h"
#include "comm/register_catalogue.h"
#include "comm/ttesra.h"
#include "comm/value_codec.h"
#include "console/text_source.h"
#include "ui/ui_adapter.h"

#include <cfloat>
#include <cmath>

namespace getkelo {
namespace {

constexpr const char* kCaption = "Konfiguration";
constexpr const char* kFailed = "Fehler";
// The parameters of a slot lie together after its 129 values: one request reads them all.
constexpr uint16_t kSlotParamsFirst = 0x0938;
constexpr uint8_t kSlotParamsCount = 0x095A - 0x0938;

bool finiteNumber(const std::string& text, double& v) {
    return parseNumber(text, v) && std::fabs(v) <= FLT_MAX;
}

std::string joined(const std::vector<std::string>& names) {
    std::string out;
    for (const std::string& n : names)
        out += (out.empty() ? "" : ", ") + n;
    return out;
}

} // namespace

Konfig2::Konfig2(UiAdapter& ui, const TextSource& texts) : ui_(ui), texts_(texts) {}

std::string Konfig2::text(const char* key, const char* fallback,
                          const std::vector<std::string>& args) const {
    return textWithArgs(texts_, key, fallback, args);
}

std::string Konfig2::value(const std::string& name) const {
    auto it = values_.find(name);
    return it == values_.end() ? std::string() : it->second;
}

bool Konfig2::setValue(const std::string& name, const std::string& text) {
    const Konfig2Field* f = findKonfig2Field(name);
    if (!f) return false;
    values_[name] = text;
    std::string deviceText;
    if (text == kFailed || checkFieldText(f->kind(), text, deviceText)) {
        invalid_.erase(name);
        return true;
    }
    invalid_.insert(name);
    return false;
}

bool Konfig2::changed(const std::string& name) const {
    auto it = stored_.find(name);
    return it == stored_.end() ? values_.count(name) > 0 : it->second != value(name);
}

bool Konfig2::functionBit(uint32_t bit) const {
    long long word;
    return parseInteger(value("Functions"), word) && (static_cast<uint32_t>(word) & bit) != 0;
}

void Konfig2::setFunctionBit(uint32_t bit, bool on) {
    long long word;
    // Without the device's word the other flags are unknown: nothing to change then.
    if (!parseInteger(value("Functions"), word) || word < 0 || word > 0xFFFFFFFFLL) return;
    uint32_t w = static_cast<uint32_t>(word);
    w = on ? (w | bit) : (w & ~bit);
    setValue("Functions", std::to_string(w));
}

void Konfig2::RUnitChange(const std::string& unit) {
    const std::string old = value("FUnit");
    double range;
    if (old != unit && !invalid("Range") && finiteNumber(value("Range"), range))
        setValue("Range", formatGeneral(convertFlow(range, old, unit), 7));
    setValue("FUnit", unit);
}

void Konfig2::TUnitChange(const std::string& unit) {
    const std::string old = value("TUnit");
    double factor;
    const double from = totalUnitFactor(old), to = totalUnitFactor(unit);
    if (old != unit && from > 0 && to > 0 && !invalid("TotFactor") &&
        finiteNumber(value("TotFactor"), factor))
        setValue("TotFactor", formatGeneral(factor * from / to, 7));
    setValue("TUnit", unit);
}

bool Konfig2::TotJustBtnNewClick(const std::string& reference, const std::string& measured) {
    double ref, meas, factor;
    if (!finiteNumber(reference, ref) || !finiteNumber(measured, meas) || meas == 0 ||
        invalid("TotFactor") || !finiteNumber(value("TotFactor"), factor)) {
        ui_.messageBox(text("infoKonfigJustError",
                            "Justieren braucht einen Korrekturwert, einen Messwert ungleich 0 und "
                            "einen gültigen Totalisatorfaktor."),
                       kCaption, MsgIcon::Warning, MsgButtons::Ok);
        return false;
    }
    return setValue("TotFactor", formatGeneral(factor * ref / meas, 7));
}

bool Konfig2::BitBtn2Click() {
    return tesra_ && tesra_->WriteValue(reg::kTotalizer, "0", kWriteAddressed) == kResultOk;
}

std::string Konfig2::readTotalizer() {
    return tesra_ ? tesra_->ReadValue(reg::kTotalizer) : kFailed;
}

// ------------------------------------------------------------------ slot

void Konfig2::setLutChoice(int slot) {
    lutChoice_ = slot < 0 ? -1 : slot;
    slot_.clear();
    slotStored_.clear();
    slotInvalid_.clear();
    table_.clear();
    tableInvalid_.clear();
    tableDirty_ = false;
}

bool Konfig2::LuTBoxSelect(int slot) {
    setLutChoice(slot);
    if (lutChoice_ < 0 || !tesra_) return false;
    const int s = lutEffectiveSlot(lutChoice_);
    uint8_t answer[kFrameBufferSize];
    const uint16_t first = static_cast<uint16_t>(LutSlotBase(s) + kSlotParamsFirst - kLutSlotBase);
    const bool ok = s >= 0 && tesra_->ReadRegisters(answer, first, kSlotParamsCount) == kResultOk;
    for (const LutParameter& p : lutParameters())
        slot_[p.key] =
            ok ? ValueToText(answer + 3 + 2 * (p.slot0Register - kSlotParamsFirst), p.type)
               : kFailed;
    slotStored_ = slot_;
    return ok;
}

std::string Konfig2::slotValue(const std::string& key) const {
    auto it = slot_.find(key);
    return it == slot_.end() ? std::string() : it->second;
}

bool Konfig2::setSlotValue(const std::string& key, const std::string& text) {
    slot_[key] = text;
    std::string deviceText;
    // "PressIn" and "PressOut" may stay empty: a data set need not carry them.
    const bool optional = !findLutParameter(key) && text.empty();
    if (text == kFailed || optional || checkFieldText(slotKeyKind(key), text, deviceText)) {
        slotInvalid_.erase(key);
        return true;
    }
    slotInvalid_.insert(key);
    return false;
}

bool Konfig2::slotChanged(const std::string& key) const {
    auto it = slotStored_.find(key);
    return it == slotStored_.end() ? slot_.count(key) > 0 : it->second != slotValue(key);
}

bool Konfig2::LuTDeleteBtnClick() {
    if (lutChoice_ < 0) {
        ui_.messageBox(text("infoKonfigNoSlot", "Zuerst eine Tabelle (LuT) wählen."), kCaption,
                       MsgIcon::Warning, MsgButtons::Ok);
        return false;
    }
    if (ui_.messageBox(text("infoKonfigDeleteSlot",
                            "Den Satz LuT %1 leeren? \"OK\" schreibt ihn in das Gerät.",
                            {std::to_string(lutChoice_)}),
                       kCaption, MsgIcon::Question, MsgButtons::YesNo) != MsgAnswer::Yes)
        return false;
    for (const LutParameter& p : lutParameters())
        setSlotValue(p.key, p.type == kTypeText8 ? "" : "0");
    setSlotValue("Range", "NaN"); // what an empty slot shows
    setSlotValue("PressIn", "");
    setSlotValue("PressOut", "");
    setTableTexts(std::vector<std::string>(kLutValueCount, "0"));
    return true;
}

void Konfig2::setTableFromDevice(const LookupTable& values) {
    table_.clear();
    for (float v : values)
        table_.push_back(formatFixedMax(v, 6));
    tableInvalid_.clear();
    tableDirty_ = false;
}

void Konfig2::setTableTexts(const std::vector<std::string>& texts) {
    table_ = texts;
    table_.resize(kLutValueCount);
    tableInvalid_.clear();
    double v;
    for (int i = 0; i < kLutValueCount; ++i)
        if (!finiteNumber(table_[i], v)) tableInvalid_.insert(i);
    tableDirty_ = true;
}

bool Konfig2::setTableText(int index, const std::string& text) {
    if (index < 0 || index >= kLutValueCount) return false;
    if (table_.empty()) table_.assign(kLutValueCount, "");
    table_[index] = text;
    tableDirty_ = true;
    double v;
    if (finiteNumber(text, v)) {
        tableInvalid_.erase(index);
        return true;
    }
    tableInvalid_.insert(index);
    return false;
}

bool Konfig2::tableValues(LookupTable& out, int* badIndex) const {
    if (static_cast<int>(table_.size()) != kLutValueCount) {
        if (badIndex) *badIndex = 0;
        return false;
    }
    for (int i = 0; i < kLutValueCount; ++i) {
        double v;
        if (!finiteNumber(table_[i], v)) {
            if (badIndex) *badIndex = i;
            return false;
        }
        out[i] = static_cast<float>(v);
    }
    return true;
}

std::vector<std::string> Konfig2::invalidNames() const {
    std::vector<std::string> out(invalid_.begin(), invalid_.end());
    for (const std::string& k : slotInvalid_)
        out.push_back("LuT:" + k);
    for (int i : tableInvalid_)
        out.push_back("LuT[" + std::to_string(i + 1) + "]");
    return out;
}

// ------------------------------------------------------------------ device

bool Konfig2::FormActivate() {
    if (!tesra_) return false;
    tesra_->WriteValue(reg::kAccessCode, reg::kAccessCodeText, kWriteAddressed);
    readConfiguration();
    for (const auto& [name, v] : values_)
        if (v == kFailed) return false;
    return true;
}

void Konfig2::readConfiguration() {
    values_.clear();
    invalid_.clear();
    auto shown = [](const Konfig2Field& f, const std::string& v) {
        return f.version && v != kFailed ? versionFieldText(v) : v;
    };
    for (const RegisterGroup& g : konfig2Groups()) {
        uint8_t answer[kFrameBufferSize];
        const bool ok = tesra_->ReadRegisters(answer, g.start, g.count) == kResultOk;
        for (const Konfig2Field& f : konfig2Fields()) {
            const int reg = descRegister(f.descriptor);
            if (reg < g.start || reg + descCount(f.descriptor) > g.start + g.count) continue;
            values_[f.name] =
                ok ? shown(f, ValueToText(answer + 3 + 2 * (reg - g.start), descType(f.descriptor)))
                   : kFailed;
        }
    }
    for (const Konfig2Field& f : konfig2Fields())
        if (!values_.count(f.name)) values_[f.name] = shown(f, tesra_->ReadValue(f.descriptor));
    stored_ = values_;
}

bool Konfig2::writeValue(RegisterDescriptor d, const std::string& deviceText,
                         const std::string& name) {
    if (tesra_->WriteValue(d, deviceText, kWriteAddressed) == kResultOk) return true;
    ui_.messageBox(text("infoKonfigWriteError",
                        "Das Gerät hat \"%1\" nicht angenommen; die Felder danach wurden nicht "
                        "geschrieben.",
                        {name}),
                   kCaption, MsgIcon::Error, MsgButtons::Ok);
    return false;
}

bool Konfig2::OKBtnClick() {
    if (!tesra_ || values_.empty()) return false;
    if (const std::vector<std::string> bad = invalidNames(); !bad.empty()) {
        ui_.messageBox(text("infoKonfigInvalid",
                            "Nichts geschrieben: ungültige Eingabe in %1. Bitte korrigieren.",
                            {joined(bad)}),
                       kCaption, MsgIcon::Warning, MsgButtons::Ok);
        return false;
    }
    struct Write {
        RegisterDescriptor descriptor;
        std::string text, name;
    };
    std::vector<Write> writes;
    for (const Konfig2Field& f : konfig2Fields()) {
        const std::string v = value(f.name);
        std::string deviceText;
        if (!f.written || v == kFailed || !changed(f.name) ||
            !checkFieldText(f.kind(), v, deviceText))
            continue;
        writes.push_back({f.descriptor, deviceText, f.name});
    }
    const int s = lutEffectiveSlot(lutChoice_);
    bool slotWritten = false;
    if (lutChoice_ >= 0 && s >= 0) {
        for (const LutParameter& p : lutParameters()) {
            const std::string v = slotValue(p.key);
            std::string deviceText;
            if (!hasSlotValue(p.key) || v == kFailed || !slotChanged(p.key) ||
                !checkFieldText(slotKeyKind(p.key), v, deviceText))
                continue;
            writes.push_back({p.inSlot(s), deviceText, "LuT " + std::to_string(s) + " " + p.key});
            slotWritten = true;
        }
    }
    LookupTable values{};
    const bool writeTable = lutChoice_ >= 0 && s >= 0 && tableDirty_ && tableValues(values);
    if (writes.empty() && !writeTable) return true;

    // The configuration registers are protected.
    if (!writeValue(reg::kAccessCode, reg::kAccessCodeText, "0x002B")) return false;
    for (const Write& w : writes)
        if (!writeValue(w.descriptor, w.text, w.name)) return false;
    if (writeTable) {
        if (tesra_->WriteLookupTable(s, values, ui_) != 0) {
            ui_.progressFinish("Fehler beim EEPROM schreiben!");
            ui_.messageBox(text("infoKonfigTableError",
                                "Die Tabelle LuT %1 wurde nicht vollständig geschrieben.",
                                {std::to_string(s)}),
                           kCaption, MsgIcon::Error, MsgButtons::Ok);
            return false;
        }
        tableDirty_ = false;
    }
    readConfiguration();
    if (slotWritten) {
        const std::string in = slotValue("PressIn"), out = slotValue("PressOut");
        const std::vector<std::string> keep = table_;
        LuTBoxSelect(s);
        table_ = keep;
        slot_["PressIn"] = slotStored_["PressIn"] = in;
        slot_["PressOut"] = slotStored_["PressOut"] = out;
    }
    return true;
}

} // namespace getkelo
