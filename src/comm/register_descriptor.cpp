#include "comm/register_descriptor.h"

#include <cstdio>

namespace getkelo {

std::string descriptorProblem(RegisterDescriptor d, DescriptorUse use) {
    char text[120];
    const int bytes = typeByteCount(descType(d));
    const int count = descCount(d);
    const int limit = use == DescriptorUse::Read ? kMaxReadRegisters : kMaxWriteRegisters;
    if (bytes == 0) {
        std::snprintf(text, sizeof text, "unknown type code 0x%02X", descType(d));
    } else if (2 * count < bytes) {
        const int needed = (bytes + 1) / 2;
        std::snprintf(text, sizeof text, "type 0x%02X needs %d register%s, the descriptor has %d",
                      descType(d), needed, needed == 1 ? "" : "s", count);
    } else if (count > limit) {
        std::snprintf(text, sizeof text, "%d registers are more than one %s carries (%d)", count,
                      use == DescriptorUse::Read ? "read" : "write", limit);
    } else {
        return "";
    }
    return text;
}

} // namespace getkelo
