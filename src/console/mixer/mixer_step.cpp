#include "console/mixer/mixer_step.h"

#include "base/flow_unit.h"
#include "base/number_format.h"
#include "console/device_list.h"

#include <algorithm>
#include <cmath>

namespace getkelo {

namespace {

std::string trimmed(const std::string& s) {
    size_t b = s.find_first_not_of(' ');
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

} // namespace

DeviceLookup deviceListLookup(const DeviceList& list) {
    return [&list](int address) -> std::optional<ComponentDevice> {
        int row = list.findAddress(address);
        if (row == 0) return std::nullopt;
        const skelo& rec = list.record(row);
        ComponentDevice d;
        d.row = row;
        d.functions = rec.functions;
        d.unit = rec.unit.empty() ? list.cell(row, kColUnit) : rec.unit;
        d.range = textToDouble(list.cell(row, kColRange));
        d.setpoint = rec.setpoint;
        d.flowValid = parseNumber(list.cell(row, kColFlow), d.flow);
        if (!d.flowValid) d.flow = 0;
        d.totalValid =
            (rec.functions & kFnTotalizer) && parseNumber(list.cell(row, kColTotal), d.total);
        if (!d.totalValid) d.total = 0;
        d.totalUnit = trimmed(list.cell(row, kColTotalUnit));
        if (d.totalUnit.empty()) d.totalUnit = totalUnitOfFlowUnit(d.unit);
        return d;
    };
}

MixerTotals mixerTotals(const MixerDefinition& mixer, const DeviceLookup& devices,
                        const std::string& mixtureUnit) {
    MixerTotals t;
    const bool masterSlave = mixer.masterSlave();
    const double mixFactor = flowUnitFactor(mixtureUnit);
    for (size_t n = 0; n < mixer.addresses.size(); ++n) {
        std::optional<ComponentDevice> dev = devices(mixer.addresses[n]);
        if (!dev) continue;
        const double k = mixFactor == 0 ? 0 : flowUnitFactor(dev->unit) / mixFactor;
        const double a = mixer.fraction(n);
        if (masterSlave && n == 0) {
            t.totalSetpoint = dev->setpoint * k;
            t.range = std::min(t.range, dev->range * k);
            t.setpointEnabled = (dev->functions & kFnController) != 0;
        } else {
            if (!masterSlave) t.totalSetpoint += dev->setpoint * k;
            if (a > 0) t.range = std::min(t.range, dev->range / a * k);
        }
    }
    return t;
}

MixerStepResult mixerStep(const MixerDefinition& mixer, const DeviceLookup& devices,
                          const std::string& mixtureUnit, bool selected, double totalSetpoint) {
    MixerStepResult out;
    const bool masterSlave = mixer.masterSlave();
    const double mixFactor = flowUnitFactor(mixtureUnit);
    // Slaves follow the master flow of this tick; without a good reading they keep their
    // setpoints rather than being driven to 0 by one failed poll.
    std::optional<double> masterFlow;
    for (size_t n = 0; n < mixer.addresses.size(); ++n) {
        std::optional<ComponentDevice> dev = devices(mixer.addresses[n]);
        if (!dev) continue;
        const double devFactor = flowUnitFactor(dev->unit);
        if (devFactor == 0 || mixFactor == 0) continue;
        const double r = mixFactor / devFactor;
        double target = -1;
        if (mixer.isMaster(n)) {
            if (dev->flowValid) masterFlow = dev->flow / r;
            if (selected) target = totalSetpoint * r;
            if (n == 0) out.actual = dev->flowValid ? dev->flow / r : 0;
        } else if (masterSlave) {
            if (!masterFlow) continue;
            target = mixer.fraction(n) * *masterFlow * r;
            target = std::clamp(target, 0.0, std::max(0.0, dev->range));
        } else if (selected) {
            out.actual += dev->flow / r;
            target = mixer.fraction(n) * totalSetpoint * r;
        }
        if (target < 0) continue;
        // The device holds a float; comparing in that precision keeps a target it cannot
        // represent exactly from being sent again at every tick.
        const float value = static_cast<float>(target);
        if (std::fabs(static_cast<double>(value) - dev->setpoint) > 1e-6)
            out.writes.push_back({mixer.addresses[n], value});
    }
    return out;
}

std::optional<double> mixtureTotal(const MixerDefinition& mixer, const DeviceLookup& devices,
                                   const std::string& totalUnit) {
    std::optional<double> sum;
    for (int address : mixer.addresses) {
        std::optional<ComponentDevice> dev = devices(address);
        if (!dev || !dev->totalValid) continue;
        sum = sum.value_or(0) + convertTotal(dev->total, dev->totalUnit, totalUnit);
    }
    return sum;
}

} // namespace getkelo
