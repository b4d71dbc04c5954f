#pragma once
#include "sim_link.h"

#include <cstdio>
#include <optional>
#include <string>

namespace getkelo::sim::test {

// The operator at the bench: reads the reference meter on the simulated output, and applies
// the signal an input box asks for to the simulated input.
struct BenchUi : ScriptedUi {
    SimLink* link = nullptr;
    int address = 3;
    int cancelAt = -1; // the input box that is cancelled

    std::optional<std::string> inputBox(const std::string& caption, const std::string& prompt,
                                        const std::string& def) override {
        ScriptedUi::inputBox(caption, prompt, def);
        if (static_cast<int>(inputs.size()) - 1 == cancelAt) return std::nullopt;
        SimDevice& d = link->device(static_cast<uint8_t>(address));
        const std::string apply = "Bitte Sollwert-Signal anlegen [";
        if (prompt.rfind(apply, 0) == 0) {
            d.setAnalogInput(std::stod(prompt.substr(apply.size())));
            return "";
        }
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.4f", d.analogOutputNow(link->demo.clock.nowMs()));
        return std::string(buf);
    }
};

} // namespace getkelo::sim::test
