#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace getkelo::sim {

// Cuts a byte stream into Modbus RTU requests. A frame ends where its function code and
// length say (03 and 06: 8 bytes, 16: 9 + byte count; every public function code has its
// length, so unsupported ones can be refused), never by silence: adapters deliver
// bytes in batches, and a gateway passes them on in arbitrary pieces. Bytes that cannot
// start a request with a good CRC are skipped one at a time until the stream makes sense
// again. A write may carry a few filler bytes before its CRC; the frame then ends where
// the CRC matches.
class RtuFramer {
  public:
    void push(const uint8_t* data, int length);
    // The next complete request with a good CRC, or false when more bytes are needed.
    bool next(std::vector<uint8_t>& frame);
    void clear() {
        buffer_.clear();
        garbage_ = 0;
    }
    int pending() const { return static_cast<int>(buffer_.size()); }
    // Bytes passed over as garbage since the last request: a client that sends nothing
    // but noise shows here.
    size_t garbage() const { return garbage_; }

    // Length of the request starting at data: >0 complete length, 0 more bytes needed,
    // -1 the bytes cannot start a request.
    static int requestLength(const uint8_t* data, int available);

  private:
    bool validAt(size_t offset) const;
    bool take(int length, std::vector<uint8_t>& frame);
    void discard(size_t count);

    std::vector<uint8_t> buffer_;
    size_t garbage_ = 0;
};

} // namespace getkelo::sim
