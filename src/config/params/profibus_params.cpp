#include "config/params/profibus_params.h"

#include "base/number_format.h"
#include "comm/ttesra.h"
#include "config/params/series4_page_registers.h"
#include "console/device_list.h"
#include "console/text_source.h"
#include "ui/ui_adapter.h"

#include <cctype>
#include <cstdio>

namespace getkelo {

namespace {

constexpr std::array<const char*, kHexFields> kHexErrorKeys = {
    "infoAddressSlotError", "infoAddressIndexError", "infoDataSlotError", "infoDataIndexError"};

// -1 when the text is no hexadecimal number of at most four digits.
int parseHex(const std::string& text) {
    if (text.empty() || text.size() > 4) return -1;
    int v = 0;
    for (char c : text) {
        if (!std::isxdigit(static_cast<unsigned char>(c))) return -1;
        v = v * 16 + (std::isdigit(static_cast<unsigned char>(c))
                          ? c - '0'
                          : std::toupper(static_cast<unsigned char>(c)) - 'A' + 10);
    }
    return v;
}

std::string hexText(long long v) {
    char b[8];
    std::snprintf(b, sizeof b, "%X", static_cast<unsigned>(v & 0xFF));
    return b;
}

} // namespace

bool checkHexField(HexField field, const std::string& text, UiAdapter& ui,
                   const TextSource& texts) {
    if (text.empty()) return true;
    const int v = parseHex(text);
    if (v >= 0 && v <= 0xFF) return true;
    ui.messageBox(texts.text(kHexErrorKeys[static_cast<int>(field)]), "Get Kel-o", MsgIcon::Warning,
                  MsgButtons::Ok);
    return false;
}

int hexFieldValue(const std::string& text) {
    const int v = parseHex(text);
    return v >= 0 && v <= 0xFF ? v : 0;
}

void splitSlotWord(const std::string& word, std::string& slot, std::string& index) {
    long long v = 0;
    if (!parseInteger(word, v)) {
        slot = index = word;
        return;
    }
    slot = hexText(v >> 8);
    index = hexText(v);
}

void ProfibusParams::readSlots(PageSession& s) {
    using enum HexField;
    splitSlotWord(s.read(reg::kProfibusAddressSlot), state_.hex[int(AddressSlot)],
                  state_.hex[int(AddressIndex)]);
    splitSlotWord(s.read(reg::kProfibusDataSlot), state_.hex[int(DataSlot)],
                  state_.hex[int(DataIndex)]);
}

void ProfibusParams::tbsProfibusShow() {
    PageSession s(context_);
    if (!s) return;
    const auto fn = static_cast<uint32_t>(s.readInteger(reg::kFunctionsSelected));
    state_.notActiveLabel = !(fn & reg::kFnProfibus);
    state_.address = s.read(reg::kProfibusAdress);
    state_.addressLocked = s.readInteger(reg::kProfibusNoAddChg) == 1;
    state_.acyclicVisible = !(s.record().softwareVersion < "4.3.10");
    if (!state_.acyclicVisible) return;
    state_.indexedAccess = s.readInteger(reg::kProfibusIndexed) == 1;
    readSlots(s);
}

bool ProfibusParams::hexFieldChange(HexField field, const std::string& text) {
    std::string& f = state_.hex[static_cast<int>(field)];
    if (checkHexField(field, text, context_.ui, context_.texts)) {
        f = text;
        return true;
    }
    f.assign(1, '0'); // (assigning "0" trips a false -Wrestrict in GCC 12)
    return false;
}

void ProfibusParams::chkIndexedAccessClick(bool ticked) {
    state_.indexedAccess = ticked;
    PageSession s(context_);
    if (s) readSlots(s);
}

void ProfibusParams::btnProfibusSaveClick() {
    {
        PageSession s(context_);
        if (!s) return;
        using enum HexField;
        s.write(reg::kProfibusAdress, state_.address, "ProfibusAdress");
        s.write(reg::kProfibusNoAddChg, state_.addressLocked ? "1" : "0", "Profibus_No_Add_Chg");
        if (state_.acyclicVisible && state_.indexedAccess) {
            auto word = [&](HexField slot, HexField index) {
                return std::to_string(hexFieldValue(state_.hex[int(slot)]) * 256 +
                                      hexFieldValue(state_.hex[int(index)]));
            };
            s.write(reg::kProfibusIndexed, "1");
            s.write(reg::kProfibusDataSlot, word(DataSlot, DataIndex));
            s.write(reg::kProfibusAddressSlot, word(AddressSlot, AddressIndex));
        } else if (state_.acyclicVisible) {
            s.write(reg::kProfibusIndexed, "0");
        }
        s.reportRefused("GetKelo");
    }
    tbsProfibusShow();
}

} // namespace getkelo
