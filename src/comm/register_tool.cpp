#include "comm/register_tool.h"

#include "comm/ttesra.h"
#include "comm/value_codec.h"
#include "ui/ui_adapter.h"

#include <cctype>
#include <cstdio>

namespace getkelo {

namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

} // namespace

const std::array<RegisterTool::VarType, 5>& RegisterTool::varTypes() {
    static const std::array<VarType, 5> types = {{
        {"String (uint16 x 4)", "0407"},
        {"float 32", "0213"},
        {"int 16", "0121"},
        {"uint 16", "0131"},
        {"uint 32", "0243"},
    }};
    return types;
}

std::string hexDisplayOf(const std::string& decimalText) {
    char b[12];
    std::snprintf(b, sizeof b, "%X", static_cast<unsigned>(wrappingInteger(decimalText)));
    return b;
}

bool decimalOfHexEntry(const std::string& hexText, std::string& decimal) {
    size_t i = 0;
    while (i < hexText.size() && std::isspace(static_cast<unsigned char>(hexText[i])))
        ++i;
    if (i + 2 < hexText.size() && hexText[i] == '0' && (hexText[i + 1] | 0x20) == 'x' &&
        hexDigit(hexText[i + 2]) >= 0)
        i += 2;
    uint64_t v = 0;
    size_t digits = 0;
    for (; i < hexText.size() && hexDigit(hexText[i]) >= 0; ++i, ++digits) {
        v = v << 4 | static_cast<uint64_t>(hexDigit(hexText[i]));
        if (v > 0xFFFFFFFFull) return false;
    }
    if (digits == 0) return false;
    decimal = std::to_string(v);
    return true;
}

void RegisterTool::FormCreate() {
    value_.clear();
}

void RegisterTool::setAddressText(const std::string& text) {
    address_.clear();
    for (char c : text) {
        if (address_.size() == 4) break;
        if (hexDigit(c) >= 0)
            address_ += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
}

RegisterDescriptor RegisterTool::buildDescriptor() {
    while (address_.size() < 4)
        address_ = "0" + address_;
    const std::string text = address_ + varTypes()[static_cast<size_t>(type_)].suffix;
    RegisterDescriptor d = 0;
    for (char c : text)
        d = d << 4 | static_cast<RegisterDescriptor>(hexDigit(c));
    return d;
}

void RegisterTool::LesenBtnClick(TTesra* tesra) {
    const RegisterDescriptor d = buildDescriptor();
    value_ = tesra ? tesra->ReadValue(d) : "Fehler";
    if (hex_) value_ = hexDisplayOf(value_);
    selected_ = Field::Address;
    ui_.beep();
}

void RegisterTool::SchreibenBtnClick(TTesra* tesra) {
    const RegisterDescriptor d = buildDescriptor();
    std::string text = value_;
    // A hexadecimal entry without digits (or beyond 32 bits) is not written at all: the
    // device would otherwise get a value the operator never typed.
    bool ok = true;
    if (hex_) ok = decimalOfHexEntry(value_, text);
    if (ok && tesra) tesra->WriteValue(d, text, kWriteAddressed);
    selected_ = Field::Value;
    ui_.beep();
}

void RegisterTool::VarTypClick(int index) {
    if (index < 0 || index >= static_cast<int>(varTypes().size())) return;
    type_ = index;
    // A box that gets disabled is unchecked too, as if the operator had clicked it.
    if (!hexEnabled() && hex_) HexCheckClick(false);
}

void RegisterTool::HexCheckClick(bool checked) {
    hex_ = checked && hexEnabled();
    value_.clear();
}

} // namespace getkelo
