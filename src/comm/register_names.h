#pragma once
#include "comm/register_descriptor.h"

namespace getkelo {

// A register of the catalogue with the name the traffic monitor shows for it (the setup
// file's key where there is one).
struct NamedRegister {
    RegisterDescriptor descriptor;
    const char* name;
};

// The named register that starts at `reg`, or nullptr.
const NamedRegister* namedRegisterAt(uint16_t reg);

} // namespace getkelo
