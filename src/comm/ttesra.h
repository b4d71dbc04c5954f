#pragma once
#include "comm/lookup_table_slot.h"
#include "comm/register_descriptor.h"
#include "comm/stale_answer_guard.h"
#include "comm/tcomm.h"

#include <cstdint>
#include <span>
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
class UiAdapter;

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

    // Bulk transfers (ttesra_lookup_table.cpp, ttesra_service.cpp). They show their progress
    // in the progress window of `ui` and run to their end on the calling thread, which has
    // stopped every other use of the bus. On failure the window stays open with the failure
    // text; the caller closes it (progressFinish) or shows its own message.
    //
    // The 129 values of lookup-table slot `slot` (-1 counts as 0), 43 blocks of three floats.
    // Read: 0 success, 1 a block failed (values read so far are kept). Write: a failed block
    // is sent again, at most 9 repetitions per table; then the table is stored with command 0
    // to register 0x0022 unless "EepromMode" says the device stores by itself. 0 success,
    // 1 failure (the blocks before the failing one are written).
    int ReadLookupTable(int slot, LookupTable& values, UiAdapter& ui);
    int WriteLookupTable(int slot, const LookupTable& values, UiAdapter& ui);

    // ASCII service protocol of the first generation, on the same channel as Modbus.
    // One command line (CR LF added); whatever the device answers at once is discarded.
    void ServiceCommand(const std::string& command);
    // One answer line up to and including CR LF: 0 read, 1 gave up (line holds what came).
    int ReadServiceLine(std::string& line);
    // One byte of an image: what the channel's send returns (1 when it went out).
    int SendServiceByte(uint8_t byte);
    // The EEPROM image: 4881 image bytes and the two after them into buffer (at least
    // kServiceImageReadSize bytes). 0 when all of them came, 1 otherwise (the buffer then
    // holds no usable image).
    int ReadServiceImage(std::span<uint8_t> buffer, UiAdapter& ui);
    // Writes the first kServiceImageSize bytes, paced so the device can store them (about
    // 10 s). 0 when the device confirms with "OK", 1 otherwise.
    int WriteServiceImage(std::span<const uint8_t> image, UiAdapter& ui);

    TComm& comm() const { return comm_; }
    bool isOpen() const { return Handle > 0; }

  private:
    // Transact without the observer: fence a troubled device, then exchange.
    int transactFenced(uint8_t* frame, int requestLength, int answerLength);
    int exchange(uint8_t* frame, int length, const AnswerExpectation& expected, bool& clean);
    int fence(uint8_t slave, int byteCountInHand);
    bool discardStray();

    TComm& comm_;
    StaleAnswerGuard guard_;
    uint8_t lastSlave_ = 0;
};

} // namespace getkelo
