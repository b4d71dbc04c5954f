#pragma once
#include "console_fixture.h"

#include "comm/register_descriptor.h"
#include "comm/value_codec.h"
#include "graphs/console_graph_host.h"
#include "sim/sim_device.h"

#include <functional>
#include <string>
#include <vector>

namespace getkelo::test {

// The console on the demo bus (devices 1 to 5 restored from the settings file), with the
// graphs' host; everything on virtual time.
class GraphTest : public ConsoleTest {
  protected:
    // Lets a test change the demo bus before the console starts.
    void startOnDemoBus(const std::function<void(std::vector<sim::DeviceConfig>&)>& adjust = {}) {
        std::vector<sim::DeviceConfig> configs = sim::demoBus();
        if (adjust) adjust(configs);
        std::string text = "[Init]\nMulti=0\n";
        int n = 1;
        for (const sim::DeviceConfig& c : configs) {
            bus.addDevice(c);
            text += "tesra_" + std::to_string(n++) + "=" + std::to_string(c.address) + "\n";
        }
        writeText(ini(), text);
        start();
        ASSERT_EQ(list().count(), static_cast<int>(configs.size()));
        host = std::make_unique<ConsoleGraphHost>(*console);
    }
    // Selects the device with this bus address.
    void selectAddress(int address) {
        console->selectRow(list().findAddress(address));
        ASSERT_EQ(list().record(list().selectedRow()).address, address);
    }
    // One polling tick 100 ms after the last.
    void tick() {
        clock.advanceMs(100);
        console->TimerTimer();
    }
    // The value of a register as the device holds it now (read through the bus, no frame of
    // the program's connection is counted).
    std::string deviceValue(int address, RegisterDescriptor d) {
        return bus.device(static_cast<uint8_t>(address))->visible(d);
    }
    // Registers written by function 16 in the frames since the mark.
    std::vector<uint16_t> writtenSince(size_t from) const {
        std::vector<uint16_t> regs;
        for (const auto& f : sentSince(from))
            if (f.size() > 3 && f[1] == 0x10)
                regs.push_back(static_cast<uint16_t>(f[2] << 8 | f[3]));
        return regs;
    }
    std::vector<uint16_t> readSince(size_t from) const {
        std::vector<uint16_t> regs;
        for (const auto& f : sentSince(from))
            if (f.size() > 3 && f[1] == 0x03)
                regs.push_back(static_cast<uint16_t>(f[2] << 8 | f[3]));
        return regs;
    }

    std::unique_ptr<ConsoleGraphHost> host;
};

} // namespace getkelo::test
