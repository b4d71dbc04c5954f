#pragma once
#include "comm/register_descriptor.h"

#include <optional>
#include <string>

namespace getkelo {

// A device variable as a person writes it: "0x00060213" (the packed descriptor),
// REGISTER:TYPE with TYPE one of float, int16, uint16, uint32, byte, text8, text50
// ("0x0006:float"; REGISTER is decimal unless written with 0x), or a register name
// (registerByName). False with a one-line reason in error.
bool parseDescriptor(const std::string& text, RegisterDescriptor& out, std::string& error);

// The shared registers by name, case-insensitive: the names the setup files store them under
// ("ControlMode", "SerialNumber", "TagName" ...), the display names of the text catalogue
// ("Messwerteinheit" ...) and plain names for the measured values ("Flow", "Setpoint" ...).
std::optional<RegisterDescriptor> registerByName(const std::string& name);

} // namespace getkelo
