#pragma once
#include <string>

namespace getkelo {

class TTesra;
class TextSource;
class UiAdapter;

inline constexpr int kZeroReadings = 20;
inline constexpr int kZeroIntervalMs = 300;
inline constexpr int kRawZero = 32768; // the raw value of no flow

struct ZeroPoint {
    bool done = false;
    int offset = 0;
};

// The zero point of the device at the connection's address, which shows raw values (ticks)
// and sees no flow: 20 raw readings 300 ms apart; their integer mean minus 32768 becomes the
// offset of the active table (slot 0) and of the device. A reading that fails, or an offset
// a 16-bit register cannot hold, ends it with a message and nothing written.
ZeroPoint takeZeroPoint(TTesra& tesra, UiAdapter& ui, const TextSource& texts);

// The offset of a set of raw readings: integer mean minus 32768.
long long zeroOffset(const long long* readings, int count);

} // namespace getkelo
