#pragma once
#include "comm/register_descriptor.h"

#include <cstdint>
#include <vector>

namespace getkelo {

// The registers of a series-4 setup file: section "SETUP" and, per used lookup-table slot,
// "SETUP_LUT_<slot>" (read while the slot is chosen in 0x5FFF), in the order they are
// written. Each read is one request: a group (one ReadRegisters of `count` registers from
// `start`, shared by its keys) or a single value (count 0: one ReadValue of the key's own
// descriptor).
struct SetupKey {
    const char* key;
    uint16_t reg;
    uint8_t type;
    RegisterDescriptor descriptor() const;
};
struct SetupRead {
    uint16_t start;
    uint8_t count; // 0: a single value
    std::vector<SetupKey> keys;
};

const std::vector<SetupRead>& setupReads();    // "SETUP" after "Date" and "Time"
const std::vector<SetupRead>& setupLutReads(); // "SETUP_LUT_<s>" before the PID sets

// The keys of one PID set k of a slot ("Tv_k", "Kp_k", "Tn_k", "N_k"): 7 registers from
// 0x6202 while the set is chosen in 0x5FF7.
inline constexpr uint16_t kSetupPidStart = 0x6202;
inline constexpr uint8_t kSetupPidCount = 7;
const std::vector<SetupKey>& setupPidKeys(); // keys without the set number
inline constexpr int kSetupPidSets = 5;

// Keys of a "SETUP" section, and of one slot section (with its 20 PID keys): the progress
// window's steps.
inline constexpr int kSetupKeyCount = 102;
inline constexpr int kSetupLutKeyCount = 52;

// Registers of the export: the slot count, the selectors and a slot's identity.
inline constexpr RegisterDescriptor kSetupLutCount = makeDescriptor(0x5301, 1, kTypeUInt16);
inline constexpr RegisterDescriptor kSetupLookupIdent = makeDescriptor(0x6000, 2, kTypeUInt32);

} // namespace getkelo
