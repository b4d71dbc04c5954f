#pragma once
#include "comm/register_descriptor.h"

#include <array>
#include <optional>
#include <string>

namespace getkelo {

class TTesra;

// How a device keeps its controller parameters, decided from its software version text
// (compared as text, byte by byte):
//  - First:  below "2.2.0": seven 16-bit registers from 0x002D (P, I, D, N, F at 0x002F..0x0033)
//  - Second: from "2.2.0" to below "4.0.0": D 16-bit at 0x002D, P float at 0x002E, I float
//            at 0x0030, N and F 16-bit at 0x0032 and 0x0033
//  - Third:  above "4.0.0": the set is chosen through 0x5FFF / 0x5FF7, N float at 0x6202,
//            P float at 0x6204, I float at 0x6206, F 16-bit at 0x6208; no D
//  - None:   exactly "4.0.0", which is neither below nor above: no parameter access at all.
enum class PidGeneration { None, First, Second, Third };
PidGeneration pidGeneration(const std::string& version);

// The five controller parameters. I is kept times 1000 where the device stores it divided
// (second generation, and third below "4.3.06"), so the working values are the track-bar
// scale and the data-set files hold integers.
enum PidParam { kPidP, kPidI, kPidD, kPidN, kPidF };
inline constexpr int kPidParams = 5;
using PidValues = std::array<double, kPidParams>;

bool iKeptTimes1000(const std::string& version);

// Register holding the number of the active parameter set (0x0035, or 0x6200 of the active
// lookup-table slot for the third generation); 0 for None.
RegisterDescriptor activeSetRegister(PidGeneration g);

// Reads the parameters of the set selected in the device into `values`. A float the device
// reports as NaN keeps its old working value. False (values untouched) when the device does
// not answer, and for PidGeneration::None without any exchange.
bool ReadPID(TTesra& tesra, const std::string& version, PidValues& values);

// Writes the parameters of the set selected in the device: one function-16 frame of seven
// registers in the layout ReadPID reads. The first generation's two leading registers carry
// no parameter; they are read first and written back unchanged. False when the exchange
// failed, and for PidGeneration::None without any exchange.
bool WritePID(TTesra& tesra, const std::string& version, const PidValues& values);

// The active set number as the device reports it (nullopt when it does not answer or for
// PidGeneration::None).
std::optional<int> readActiveSet(TTesra& tesra, const std::string& version);

} // namespace getkelo
