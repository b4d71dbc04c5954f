#pragma once
#include "comm/tcomm.h"
#include "comm/ttesra.h"
#include "sim/sim_transport.h"
#include "sim_support.h"
#include "ui/scripted_ui.h"

#include <functional>
#include <memory>

namespace getkelo::sim::test {

// The in-process bus behind a line that can lose what is sent: `lose` sees every send (a
// request, a command line, one image byte) and keeps it from the bus when it says so.
class LossyWire final : public Transport {
  public:
    LossyWire(SimBus& bus, Clock& clock) : inner_(bus, clock) {}
    std::function<bool(const Bytes& sent)> lose;
    std::vector<Bytes> sent;

    bool isTcp() const override { return true; }
    int send(const uint8_t* data, int length) override {
        sent.emplace_back(data, data + length);
        return lose && lose(sent.back()) ? length : inner_.send(data, length);
    }
    int receive(uint8_t* data, int length) override { return inner_.receive(data, length); }
    void waitReadable(Clock& clock, int ms) override { inner_.waitReadable(clock, ms); }
    void purge() override { inner_.purge(); }

  private:
    SimTransport inner_;
};

// The device layer on the demo bus (addresses 1..5: series 4, series 4 pressure, third,
// second and first generation) on the virtual clock, with a scripted operator.
struct SimLink {
    DemoBus demo;
    TComm comm{demo.clock};
    LossyWire* wire = new LossyWire(demo.bus, demo.clock);
    std::unique_ptr<TTesra> tesra =
        std::make_unique<TTesra>(comm, comm.AttachTransport(std::unique_ptr<LossyWire>(wire)));
    ScriptedUi ui;

    SimDevice& device(uint8_t address) { return *demo.bus.device(address); }
    std::vector<Bytes> writeRequests() const {
        std::vector<Bytes> out;
        for (const Bytes& b : wire->sent)
            if (b.size() >= 8 && b[1] == 0x10) out.push_back(b);
        return out;
    }
};

} // namespace getkelo::sim::test
