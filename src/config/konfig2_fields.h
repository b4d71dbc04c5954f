#pragma once
#include "comm/register_descriptor.h"

#include <string>
#include <vector>

namespace getkelo {

// What a field of the factory configuration dialog holds, decided from its register's type.
enum class FieldKind { Float, Int16, UInt16, UInt32, Text, Version };

// One configuration field of TKonfig2 and the register it is read from and written to.
struct Konfig2Field {
    const char* name;
    RegisterDescriptor descriptor;
    bool written = true;  // false: shown only (software version, register 0x1012)
    bool version = false; // a version word shown as "a.b.cc"
    FieldKind kind() const;
};

// The fields in the order "OK" writes them ("TUnit", "TotFactor", "SNo", ... "LuTInfoEdit"),
// then the two that are only shown ("SWVer", "Reg1012"). "Functions" is the function word of
// the three switches, "AnalogSource" 0 for "mA" and 1 for "V".
const std::vector<Konfig2Field>& konfig2Fields();
const Konfig2Field* findKonfig2Field(const std::string& name);

// The groups read with one request each; a field inside a group's registers is taken from
// its answer, every other field is read on its own.
struct RegisterGroup {
    uint16_t start;
    uint8_t count;
};
const std::vector<RegisterGroup>& konfig2Groups();

// The keys of a lookup-table slot the dialog shows: the slot's parameters in the device
// (lookup_table_slot.h: "Gas", "Range", ... "CalibPressure") and "PressIn" and "PressOut",
// which data sets carry but a slot has no register for.
const std::vector<std::string>& konfig2SlotKeys();
FieldKind slotKeyKind(const std::string& key);

// Choices of the dialog's lists.
const std::vector<std::string>& flowUnitChoices();  // "mln/min" ... "g/min"
const std::vector<std::string>& totalUnitChoices(); // "mln" ... "kg"
const std::vector<std::string>& vstFlowChoices();   // "1", "4", ... "800"

// Why a text does not fit a field.
enum class FieldProblem {
    None,
    NotANumber,
    TooLarge,
    NotAnInteger,
    OutOfRange,
    TooLong,
    BadCharacter,
    BadVersion
};

// Checks an operator's text for a field of that kind. True when it fits; deviceText is then
// the text to write (a version as its register word, numbers without blanks). Floats accept
// "," or "." and the device's own "NaN" and "INF" marks, but no number a float cannot hold
// ("1e999"); integers must lie in the register's range; texts hold at most 7 characters of
// Windows-1252; a version is "a.b.c" with a up to 255 and b, c up to 15. `why` says what is
// wrong otherwise.
bool checkFieldText(FieldKind kind, const std::string& text, std::string& deviceText,
                    FieldProblem* why = nullptr);

// A version word as the dialog shows it ("%d.%d.%02d"), from the register's decimal text.
std::string versionFieldText(const std::string& registerText);

} // namespace getkelo
