// ASCII service protocol of the first device generation: the whole EEPROM image is read
// and written as raw bytes on the Modbus channel, framed by command and answer lines.
#include "base/clock.h"
#include "comm/service_image.h"
#include "comm/ttesra.h"
#include "ui/ui_adapter.h"

#include <cstring>
#include <vector>

namespace getkelo {
namespace {

constexpr const char* kCaption = "EEPROM";
constexpr const char* kReadFailed = "Fehler beim EEPROM lesen!";
constexpr const char* kReadDone = "EEPROM lesen erfolgreich!";
constexpr const char* kWriteFailed = "Fehler beim EEPROM schreiben!";
constexpr const char* kWriteDone = "EEPROM schreiben erfolgreich!";
// The read request goes out without its line end: 14 of the 16 characters.
constexpr char kReadRequest[] = "REEPROM=0x1310";
constexpr char kReadAnswer[] = "REEPROM=130D\r\n";
constexpr int kHeaderLength = 14;
constexpr const char* kWriteCommand = "WEEPROM=1310";
constexpr int kLastAddress = 0x1310; // also the progress maximum
constexpr int kBytesPerPause = 5;    // the device stores five bytes per 10 ms
constexpr int kPacingMs = 10;
constexpr int kAnswerPauseMs = 50;
constexpr int kSendAttempts = 3; // a full socket buffer refuses a byte for a moment
constexpr int kLineCapacity = 256;

} // namespace

void TTesra::ServiceCommand(const std::string& command) {
    std::vector<uint8_t> line(command.begin(), command.end());
    line.push_back('\r');
    line.push_back('\n');
    comm_.PurgeInput(IsTcp, Handle);
    comm_.SendReceive(line.data(), static_cast<int>(line.size()), 0, IsTcp, Handle);
    // Whatever the device says at once (an echo) is not the answer the caller waits for.
    comm_.PurgeInput(IsTcp, Handle);
}

int TTesra::ReadServiceLine(std::string& line) {
    char buffer[kLineCapacity];
    int result = comm_.ReadUntil(buffer, kLineCapacity, "\r\n", IsTcp, Handle);
    line = buffer;
    return result;
}

int TTesra::SendServiceByte(uint8_t byte) {
    return comm_.SendBytes(&byte, 1, IsTcp, Handle);
}

int TTesra::ReadServiceImage(std::span<uint8_t> buffer, UiAdapter& ui) {
    ui.progressStart(kCaption, "Lese EEPROM...", kLastAddress);
    if (buffer.size() < static_cast<size_t>(kServiceImageReadSize)) {
        ui.progressLabel(kReadFailed);
        return 1;
    }
    comm_.PurgeInput(IsTcp, Handle);
    ui.progressPosition(256);
    std::memcpy(buffer.data(), kReadRequest, kHeaderLength);
    int got = 0;
    if (comm_.SendReceive(buffer.data(), kHeaderLength, kHeaderLength, IsTcp, Handle) == 0) {
        if (std::memcmp(buffer.data(), kReadAnswer, kHeaderLength) == 0) {
            ui.progressPosition(4096);
            got = comm_.ReadBytes(buffer.data(), kServiceImageReadSize, IsTcp, Handle);
        } else {
            // Not the answer to this request: let whatever follows it go by, so it is not
            // taken for the answer of the next exchange.
            uint8_t scratch[kLineCapacity];
            int drained = 0, n;
            while (drained < 2 * kServiceImageReadSize &&
                   (n = comm_.ReadBytes(scratch, kLineCapacity, IsTcp, Handle)) > 0)
                drained += n;
        }
    }
    if (got != kServiceImageReadSize) {
        comm_.PurgeInput(IsTcp, Handle);
        ui.progressLabel(kReadFailed);
        return 1;
    }
    ui.progressPosition(kLastAddress);
    ui.progressFinish(kReadDone);
    return 0;
}

int TTesra::WriteServiceImage(std::span<const uint8_t> image, UiAdapter& ui) {
    ui.progressStart(kCaption, "Schreibe EEPROM...", kLastAddress);
    if (image.size() < static_cast<size_t>(kServiceImageSize)) {
        ui.progressLabel(kWriteFailed);
        return 1;
    }
    Clock& clock = comm_.clock();
    ServiceCommand(kWriteCommand);
    clock.sleepMs(kPacingMs);
    for (int k = 0; k < kServiceImageSize; ++k) {
        if (k % kBytesPerPause == 0) {
            clock.sleepMs(kPacingMs);
            // The bar moves with the pacing; a repaint per byte would cost more than the byte.
            ui.progressPosition(k);
        }
        int sent = SendServiceByte(image[k]);
        for (int attempt = 1; sent < 1 && attempt < kSendAttempts; ++attempt) {
            clock.sleepMs(kPacingMs);
            sent = SendServiceByte(image[k]);
        }
        if (sent < 1) {
            // The channel is gone: the device waits for the rest in vain, and so would we.
            ui.progressLabel(kWriteFailed);
            return 1;
        }
    }
    ui.progressPosition(kLastAddress);
    clock.sleepMs(kAnswerPauseMs);
    std::string line;
    ReadServiceLine(line);
    ReadServiceLine(line); // the second line carries the verdict
    if (line.find("OK") == std::string::npos) {
        ui.progressLabel(kWriteFailed);
        return 1;
    }
    ui.progressFinish(kWriteDone);
    return 0;
}

} // namespace getkelo
