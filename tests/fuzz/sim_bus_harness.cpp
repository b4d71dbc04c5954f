// Any byte stream through the simulator's service link and RTU framer into the bus, cut into
// pieces as a gateway would; and any bytes straight into the bus as one frame.
#include "base/clock.h"
#include "comm/crc16.h"
#include "fuzz_input.h"
#include "harnesses.h"
#include "sim/device_profiles.h"
#include "sim/rtu_framer.h"
#include "sim/service_protocol.h"
#include "sim/sim_bus.h"

#include <memory>
#include <string>

namespace getkelo::fuzz {
namespace {

using sim::BusAnswer;

// The framer frames a malformed byte count too, so that the bus can refuse it (exception 03):
// the longest it hands on is a function-23 request with 255 data bytes and the filler a write
// may carry before its CRC, longer than any well-formed request.
constexpr size_t kLongestFrame = 13 + 255 + 8;

void checkFrame(const std::vector<uint8_t>& frame) {
    if (frame.size() < 4 || frame.size() > kLongestFrame)
        fuzzFailure("framer", "gave a frame of " + std::to_string(frame.size()) + " bytes");
    if (Crc16(frame.data(), static_cast<int>(frame.size())) != 0)
        fuzzFailure("framer", "gave a frame with a bad CRC");
}

void checkAnswer(const BusAnswer& a) {
    if (a.bytes.size() > 256)
        fuzzFailure("bus", "answered " + std::to_string(a.bytes.size()) + " bytes");
}

} // namespace

int fuzzSimBus(const uint8_t* data, size_t size) {
    // One demo device (each a generation of its own, the input's first byte chooses) on a bus
    // built once: building a device costs far more than a run. Before each run the device is
    // set back to its first state by copying it, so that every run starts alike and a finding
    // replays on its own.
    struct Bench {
        VirtualClock clock;
        sim::SimBus bus{clock}, first{clock};
    };
    static std::vector<std::unique_ptr<Bench>> benches = [] {
        std::vector<std::unique_ptr<Bench>> out;
        for (const auto& c : sim::demoBus()) {
            out.push_back(std::make_unique<Bench>());
            out.back()->bus.addDevice(c);
            out.back()->first.addDevice(c);
        }
        return out;
    }();
    static const int64_t startMs = VirtualClock().nowMs();
    Bench& bench = *benches[size > 0 ? data[0] % benches.size() : 0];
    VirtualClock& clock = bench.clock;
    sim::SimBus& bus = bench.bus;
    clock.setMs(startMs);
    bus.setUnplugged(false);
    *bus.devices()[0] = *bench.first.devices()[0];
    // The whole input as one frame of exactly its length: the bus must not read past it.
    if (size <= 256) {
        std::vector<uint8_t> exact(data, data + size); // a heap block of just this size
        if (auto a = bus.handleFrame(exact.data(), static_cast<int>(exact.size()))) checkAnswer(*a);
    }
    FuzzInput in(data, size);
    sim::RtuFramer framer;
    sim::ServiceLink service;
    std::vector<uint8_t> rtu, frame;
    while (!in.empty()) {
        const std::vector<uint8_t> piece = in.bytes(1 + in.byte() % 64);
        std::vector<BusAnswer> answers;
        rtu.clear();
        service.push(bus, piece.data(), static_cast<int>(piece.size()), rtu, answers);
        framer.push(rtu.data(), static_cast<int>(rtu.size()));
        while (framer.next(frame)) {
            checkFrame(frame);
            if (auto a = bus.handleFrame(frame.data(), static_cast<int>(frame.size())))
                answers.push_back(std::move(*a));
        }
        for (const BusAnswer& a : answers)
            checkAnswer(a);
        // The framer never holds more than one request's worth of bytes it cannot use.
        if (framer.pending() > 512)
            fuzzFailure("framer", "holds " + std::to_string(framer.pending()) + " bytes");
        clock.advanceMs(in.byte());
    }
    return 0;
}

} // namespace getkelo::fuzz
