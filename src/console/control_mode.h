#pragma once

namespace getkelo {

// The control-mode choice: entry index <-> the device's mode code in register 0x000E.
// Entries 0..9 are codes 0 1 2 10 20 21 22 23 5 6; any other entry is code 0.
int controlModeCode(int entryIndex);
// The entry of a mode code; a code no entry has gives entry 0.
int controlModeEntry(int code);
// Codes 5 and 6 are the pressure-control modes: the pressure-control page shows for them.
bool isPressureControlMode(int code);

// The flow graph's own control-mode choice: entries 0..8 are codes 0 1 2 10 20 21 22 23 30.
inline constexpr int kGraphModeEntries = 9;
int graphModeCode(int entryIndex);

} // namespace getkelo
