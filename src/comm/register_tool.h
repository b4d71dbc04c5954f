#pragma once
#include "comm/register_descriptor.h"

#include <array>
#include <string>

namespace getkelo {

class TTesra;
class UiAdapter;

// The raw register tool ("Register" dialog): reads or writes any holding register of the
// device the connection is addressed to, under one of five types, integers optionally in
// hexadecimal. The form TRegister shows this state and forwards its events here.
class RegisterTool {
  public:
    struct VarType {
        const char* caption;
        const char* suffix; // low 16 bits of the descriptor: register count and type code
    };
    static const std::array<VarType, 5>& varTypes();
    static constexpr int kFloatIndex = 1;        // preselected
    static constexpr int kFirstIntegerIndex = 2; // "int 16", "uint 16", "uint 32"

    enum class Button { Lesen, Schreiben };
    enum class Field { None, Address, Value };

    explicit RegisterTool(UiAdapter& ui) : ui_(ui) {}

    void FormCreate();
    void LesenBtnClick(TTesra* tesra);
    void SchreibenBtnClick(TTesra* tesra);
    void VarTypClick(int index);
    void HexCheckClick(bool checked);
    void AdresseEditEnter() { defaultButton_ = Button::Lesen; }
    void WertEditEnter() { defaultButton_ = Button::Schreiben; }

    // The address field as typed: hexadecimal digits only (others are dropped), upper case,
    // at most four.
    void setAddressText(const std::string& text);
    void setValueText(const std::string& text) { value_ = text; }

    // Pads the address field to four digits and builds the descriptor from it and the type.
    RegisterDescriptor buildDescriptor();

    const std::string& addressText() const { return address_; }
    const std::string& valueText() const { return value_; }
    int typeIndex() const { return type_; }
    bool hexChecked() const { return hex_; }
    bool hexEnabled() const { return type_ >= kFirstIntegerIndex; }
    Button defaultButton() const { return defaultButton_; }
    // The field whose whole text the last read or write selected.
    Field selectedField() const { return selected_; }

  private:
    UiAdapter& ui_;
    std::string address_;
    std::string value_;
    int type_ = kFloatIndex;
    bool hex_ = false;
    Button defaultButton_ = Button::Lesen;
    Field selected_ = Field::None;
};

// "%X" of a value text read as a decimal integer (wrapping to 32 bits, no digits give 0):
// "-2" gives "FFFFFFFE", "Fehler" gives "0".
std::string hexDisplayOf(const std::string& decimalText);
// The leading hexadecimal digits of an entry (blanks and "0x" before them allowed) as
// decimal text; false when there are none or they do not fit 32 bits.
bool decimalOfHexEntry(const std::string& hexText, std::string& decimal);

} // namespace getkelo
