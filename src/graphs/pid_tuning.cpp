#include "graphs/pid_tuning.h"

#include "console/software_generation.h"

namespace getkelo {

std::array<TuningPair, kPidParams> flowTuningPairs(const std::string& version) {
    const bool iScaled = softwareNumber(version) >= 2.2 - 1e-9 && version < "4.3.06";
    BarRange all; // form defaults
    std::array<BarRange, kPidParams> r{all, all, all, all, all};
    switch (pidGeneration(version)) {
    case PidGeneration::Second:
        r[kPidP] = r[kPidN] = r[kPidF] = {1, 256, 10};
        r[kPidI] = {0, 1000, 100};
        break;
    case PidGeneration::Third:
        r[kPidP] = r[kPidI] = r[kPidF] = {0, 10000, 500};
        r[kPidN] = {0, 8000, 500};
        break;
    case PidGeneration::First:
    case PidGeneration::None:
        break;
    }
    std::array<TuningPair, kPidParams> pairs;
    for (int p = 0; p < kPidParams; ++p)
        pairs[p] = TuningPair(r[p], p == kPidI && iScaled);
    return pairs;
}

std::array<TuningPair, kPressureParams> pressureTuningPairs(const std::string& version) {
    const bool wide = version >= "4.3.05";
    std::array<TuningPair, kPressureParams> pairs;
    for (int p = 0; p < kPressureParams; ++p) {
        BarRange r;
        if (wide) r = {0, p == kPressN ? 8000 : 10000, 500};
        pairs[p] = TuningPair(r, false);
    }
    return pairs;
}

} // namespace getkelo
