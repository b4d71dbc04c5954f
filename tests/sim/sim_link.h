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
// request frame, a command line, one image byte) and keeps it from the bus when it says so.
// Records every send, for tests that count what went on the wire.
class LossyWire final : public Transport {
  public:
    LossyWire(SimBus& bus, Clock& clock) : inner_(bus, clock) {}

    std::function<bool(const Bytes& sent)> lose;
    std::vector<Bytes> sent;

    bool isTcp() const override { return true; }
    int send(const uint8_t* data, int length) override {
        sent.emplace_back(data, data + length);
        if (lose && lose(sent.back())) return length;
        return inner_.send(data, length);
    }
    int receive(uint8_t* data, int length) override { return inner_.receive(data, length); }
    void waitReadable(Clock& clock, int ms) override { inner_.waitReadable(clock, ms); }
    void purge() override { inner_.purge(); }

  private:
    SimTransport inner_;
};

// The device layer on the demo bus (addresses 1..5: series 4, series 4 pressure, third,
// second and first generation), all on the virtual clock, with a scripted operator.
struct SimLink {
    DemoBus demo;
    TComm comm{demo.clock};
    LossyWire* wire = nullptr;
    std::unique_ptr<TTesra> tesra;
    ScriptedUi ui;

    SimLink() {
        auto w = std::make_unique<LossyWire>(demo.bus, demo.clock);
        wire = w.get();
        tesra = std::make_unique<TTesra>(comm, comm.AttachTransport(std::move(w)));
    }
    SimDevice& device(uint8_t address) { return *demo.bus.device(address); }
    // Function 16 requests sent so far, in order.
    std::vector<Bytes> writeRequests() const {
        std::vector<Bytes> out;
        for (const Bytes& b : wire->sent)
            if (b.size() >= 8 && b[1] == 0x10) out.push_back(b);
        return out;
    }
};

} // namespace getkelo::sim::test
