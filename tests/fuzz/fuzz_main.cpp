// libFuzzer entry of one harness (GETKELO_FUZZ_HARNESS names it).
#include "harnesses.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return getkelo::fuzz::GETKELO_FUZZ_HARNESS(data, size);
}
