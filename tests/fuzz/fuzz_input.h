#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace getkelo::fuzz {

// Reads a fuzzer's input as a script of small decisions; past the end everything is 0.
class FuzzInput {
  public:
    FuzzInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool empty() const { return at_ >= size_; }
    uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }
    uint16_t word() { return static_cast<uint16_t>(byte() << 8 | byte()); }
    bool flag() { return byte() & 1; }
    std::vector<uint8_t> bytes(size_t n) {
        std::vector<uint8_t> out;
        while (n-- > 0 && !empty())
            out.push_back(byte());
        return out;
    }
    // A text of up to `max` characters taken from `alphabet`.
    std::string text(const std::string& alphabet, size_t max) {
        std::string out;
        for (size_t n = byte() % (max + 1); n > 0; --n)
            out += alphabet[byte() % alphabet.size()];
        return out;
    }
    std::vector<uint8_t> rest() { return bytes(size_ - at_); }

  private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

// A broken property: the fuzzer sees a crash, the replay test a failed (aborted) run.
[[noreturn]] inline void fuzzFailure(const char* what, const std::string& detail) {
    std::fprintf(stderr, "fuzz property broken: %s %s\n", what, detail.c_str());
    std::abort();
}

} // namespace getkelo::fuzz
