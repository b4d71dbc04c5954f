#pragma once
#include <cstddef>
#include <cstdint>

namespace getkelo::fuzz {

// Each harness takes one fuzzer input and checks its properties (fuzzFailure on a break).

// Device answers to TTesra's reads and writes through TComm, on the virtual clock.
int fuzzRtuAnswer(const uint8_t* data, size_t size);
// A settings file of any bytes, then writes by two objects, checked against a model.
int fuzzIniFile(const uint8_t* data, size_t size);
// Any byte stream through the simulator's service link and framer into its bus, and any
// frame straight into the bus.
int fuzzSimBus(const uint8_t* data, size_t size);

} // namespace getkelo::fuzz
