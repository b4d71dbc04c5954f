#pragma once
#include "comm/register_descriptor.h"
#include "comm/stale_answer_guard.h"
#include "comm/tcomm.h"

#include <cstdint>
#include <string>

namespace getkelo {

// Write modes of WriteValue.
inline constexpr int8_t kWriteAddressed = 0;   // up to 8 attempts, answer awaited
inline constexpr int8_t kWriteBroadcast = 112; // slave address 0, one send, no answer

// Transaction results.
inline constexpr int kResultOk = 0;
inline constexpr int kResultNoAnswer = 1;
inline constexpr int kResultShort = 2;     // part of an answer, or the device refused (exception)
inline constexpr int kResultBadAnswer = 3; // wrong CRC, or bytes that make no answer

inline constexpr int kFrameBufferSize = 256;

struct AnswerExpectation;

// The device connection: an open channel plus the slave address of the device addressed.
// An answer counts only when it is the one to the request in hand: slave, function and what
// the answer echoes (register and value or count of a write, byte count of a read) must
// match; stale, duplicated and foreign answers are passed over (see StaleAnswerGuard).
class TTesra {
  public:
    TTesra(TComm& comm, const TConnectionSettings& settings);
    // Adopts a channel that is already open (the in-process simulator, test peers).
    TTesra(TComm& comm, TChannel channel);
    ~TTesra();
    TTesra(const TTesra&) = delete;
    TTesra& operator=(const TTesra&) = delete;

    bool IsTcp = false;
    int Handle = -1;
    uint8_t Address = 1;
    uint8_t DelayMs = 100;
    // Exception code of the last exception answer; 0 when the last Transact got none.
    uint8_t LastException = 0;

    static uint16_t Crc16(const uint8_t* frame, int length);
    int Transact(uint8_t* frame, int requestLength, int answerLength);
    int ReadRegisters(uint8_t* buffer, uint16_t startRegister, uint8_t count);
    std::string ReadValue(RegisterDescriptor descriptor);
    int WriteValue(RegisterDescriptor descriptor, const std::string& text, int8_t mode);
    uint8_t ReadByte();

    TComm& comm() const { return comm_; }
    bool isOpen() const { return Handle > 0; }

  private:
    int exchange(uint8_t* frame, int length, const AnswerExpectation& expected, bool& clean);
    int fence(uint8_t slave, int byteCountInHand);
    bool discardStray();

    TComm& comm_;
    StaleAnswerGuard guard_;
    uint8_t lastSlave_ = 0;
};

} // namespace getkelo
