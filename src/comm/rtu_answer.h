#pragma once
#include <cstdint>

namespace getkelo {

// Length of the Modbus RTU answer frame that starts at data, from its function code (and
// byte count): >0 the whole frame with its CRC, 0 more bytes are needed to tell, -1 the
// bytes cannot start an answer. An answer's end is never found by waiting for silence.
int rtuAnswerLength(const uint8_t* data, int available);

// What the answer to one request must echo. Built from the request, so a late answer to
// another request, a duplicate of an earlier one or a foreign device's answer can be told
// from the answer in hand wherever the protocol echoes something.
struct AnswerExpectation {
    uint8_t slave = 0;
    int otherSlave = -1; // an address change is answered from the new address
    uint8_t function = 0;
    int length = 0;     // of the normal answer, with CRC
    int byteCount = -1; // function 03: 2 x register count
    bool checkEcho = false;
    uint8_t echo[4] = {}; // functions 06 and 16: register and value or count
    bool exceptionIsOurs = true;
};

// The expectation for a request of requestLength bytes (without CRC) awaiting answerLength.
AnswerExpectation expectAnswer(const uint8_t* request, int requestLength, int answerLength);

enum class AnswerKind {
    Ours,    // the normal answer to the request in hand
    Refused, // its exception answer
    Foreign, // a well-formed answer to something else
};

// Judges one complete frame with a good CRC.
AnswerKind classifyAnswer(const uint8_t* frame, int length, const AnswerExpectation& expected);

// Reads an answer stream frame by frame as bytes come in, skipping well-formed answers
// that are not ours and keeping the last one that is (answers come in the order of their
// requests, so a later copy is never older).
class AnswerScanner {
  public:
    enum class State { Waiting, Ours, Refused, Garbage };

    explicit AnswerScanner(const AnswerExpectation& expected) : expected_(expected) {}

    // Looks at the bytes received so far (all of them, from the first); true once the
    // outcome is known: our answer or refusal complete, or bytes that make no answer.
    bool feed(const uint8_t* data, int length);

    State state() const { return state_; }
    int offset() const { return found_; } // of the answer kept
    int frameLength() const { return foundLength_; }
    int skipped() const { return skipped_; } // foreign answers passed over
    // Exactly one frame and nothing else: no duplicate, no stale or foreign answer, no noise.
    bool clean() const { return frames_ == 1 && !trailing_; }
    // Bytes of an incomplete frame where the scan stands.
    int partial(int length) const { return length - position_; }

  private:
    AnswerExpectation expected_;
    State state_ = State::Waiting;
    int position_ = 0;
    int found_ = -1;
    int foundLength_ = 0;
    int skipped_ = 0;
    int frames_ = 0;
    bool trailing_ = false;
};

} // namespace getkelo
