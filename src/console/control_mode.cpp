#include "console/control_mode.h"

namespace getkelo {

namespace {
constexpr int kCodes[] = {0, 1, 2, 10, 20, 21, 22, 23, 5, 6};
constexpr int kEntries = sizeof(kCodes) / sizeof(kCodes[0]);
} // namespace

int controlModeCode(int entryIndex) {
    return entryIndex >= 0 && entryIndex < kEntries ? kCodes[entryIndex] : 0;
}

int controlModeEntry(int code) {
    for (int i = 0; i < kEntries; ++i)
        if (kCodes[i] == code) return i;
    return 0;
}

int graphModeCode(int entryIndex) {
    // Each jump of the codes skips the unused range above the group before.
    int m = entryIndex;
    if (m > 2) m += 7;
    if (m > 10) m += 9;
    if (m > 23) m += 6;
    return m;
}

bool isPressureControlMode(int code) {
    return code == 5 || code == 6;
}

} // namespace getkelo
