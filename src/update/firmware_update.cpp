#include "update/firmware_update.h"

#include "base/clock.h"
#include "comm/register_descriptor.h"
#include "comm/tcomm.h"
#include "comm/ttesra.h"
#include "console/text_source.h"
#include "update/update_link.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>

namespace getkelo {
namespace {

constexpr RegisterDescriptor kAddressReg = 0x00130131;
constexpr RegisterDescriptor kSoftResetReg = 0x00340131;
constexpr RegisterDescriptor kSoftwareReg = 0x00210131;
constexpr RegisterDescriptor kHardwareReg = 0x00200131;
constexpr RegisterDescriptor kCommandReg = 0x00220131;
constexpr RegisterDescriptor kAccessCodeReg = 0x002B0243;
constexpr RegisterDescriptor kHiLoSwapReg = 0x51000131;
constexpr RegisterDescriptor kFilterTypeReg = 0x5C080131;
constexpr const char* kDeviceAccessCode = "274810365";
// Scale_k0_Tv, Scale_k1_Tv, Scale_k0_Kp, Scale_k1_Kp, Scale_k0_Tn, Scale_k1_Tn, Scale_k0_N,
// Scale_k1_N: floats from 0x5D00 in steps of two registers.
constexpr RegisterDescriptor scaleFactor(int k) {
    return 0x5D000213u + (static_cast<uint32_t>(2 * k) << 16);
}

constexpr int kPollBytes = 20;
// An empty poll waits for the line this long (it wakes as soon as bytes come); the counts of
// the dialogue's waits are counts of such polls.
constexpr int kPollWaitMs = 10;
// After the last packet the bootloader still flashes what it holds: its "UPDATE OK" may take
// seconds, so those polls wait longer.
constexpr int kFlashPollWaitMs = 100;
// A write that makes no progress this long (XOFF held, line gone) ends the transfer.
constexpr int kStalledWriteMs = 10000;
constexpr int kStalledWriteStepMs = 2;

int toInt(const std::string& text) {
    return std::atoi(text.c_str()); // "Fehler" counts as 0, as the version checks expect
}

} // namespace

UpdateTrace updateTraceFromEnvironment() {
    const char* env = std::getenv("GETKELO_TRACE");
    if (!env || !std::strstr(env, "update")) return {};
    return [](const std::string& text) { std::cerr << "update: " << text << '\n'; };
}

FirmwareUpdate::FirmwareUpdate(TComm& comm, UpdateLink& link, const TextSource& texts)
    : comm_(comm), clock_(comm.clock()), link_(link), texts_(texts) {}

void FirmwareUpdate::trace(const std::string& text) const {
    if (trace_) trace_(text);
}

void FirmwareUpdate::memo(const std::string& line) const {
    view_->addMemoLine(line);
}

bool FirmwareUpdate::poll(std::string& answer, int waitMs) {
    uint8_t buf[kPollBytes];
    int n = comm_.ReceiveBytes(buf, kPollBytes, channel_.IsTcp, channel_.Handle);
    if (n > 0) {
        answer.append(reinterpret_cast<const char*>(buf), static_cast<size_t>(n));
        return true;
    }
    if (waitMs > 0) {
        if (Transport* t = comm_.transportOf(channel_.Handle))
            t->waitReadable(clock_, waitMs);
        else
            clock_.sleepMs(waitMs);
    }
    return false;
}

int FirmwareUpdate::writeWhole(const uint8_t* data, int length) {
    // One write as the caller sees it; a line held by XOFF takes the bytes in pieces.
    int done = 0;
    int64_t lastProgress = clock_.nowMs();
    while (done < length) {
        int n = comm_.SendBytes(data + done, length - done, channel_.IsTcp, channel_.Handle);
        if (n > 0) {
            done += n;
            lastProgress = clock_.nowMs();
            continue;
        }
        if (clock_.nowMs() - lastProgress >= kStalledWriteMs) break;
        clock_.sleepMs(kStalledWriteStepMs);
    }
    return done;
}

bool FirmwareUpdate::wakeBootloader() {
    static const uint8_t kWake[] = {'Q', 'T', 'X'};
    std::string answer;
    writeWhole(kWake, 3);
    trace("Beginne 'QTX' zu senden.");
    for (int counter = 0;; ++counter) {
        poll(answer, 0);
        size_t at = answer.find("BOOTLOADER");
        if (at != std::string::npos) {
            trace("'Bootloader' als Antwort erhalten.");
            clock_.sleepMs(kPollWaitMs); // the version may still be on its way
            poll(answer, kPollWaitMs);
            bootloaderVersion_ = answer.substr(at + 10, 7);
            memo("Bootloader " + bootloaderVersion_);
            return true;
        }
        clock_.sleepMs(20);
        writeWhole(kWake, 3);
        if (counter > 200) return false;
    }
}

bool FirmwareUpdate::requestUpdate() {
    static const uint8_t kLf[] = {'\n'};
    static const uint8_t kUpdate[] = {'U', 'P', 'D', 'A', 'T', 'E', '\n'};
    writeWhole(kLf, 1);
    clock_.sleepMs(200);
    trace("'Update' senden.");
    writeWhole(kLf, 1);
    comm_.PurgeInput(channel_.IsTcp, channel_.Handle);
    writeWhole(kUpdate, 7);
    std::string answer;
    for (int counter = 0;; ++counter) {
        poll(answer, kPollWaitMs);
        if (answer.find("SEND FILE") != std::string::npos) {
            trace("Aufforderung zum senden der Datei erhalten.");
            return true;
        }
        if (counter > 2000) return false;
        if (answer.find("Error:") != std::string::npos) {
            writeWhole(kLf, 1);
            clock_.sleepMs(200);
            writeWhole(kUpdate, 7);
            trace("'Error' erhalten, 'Update' nochmal senden.");
            answer.clear();
        }
    }
}

bool FirmwareUpdate::awaitWord(const char* word, int polls, int waitMs) {
    std::string answer;
    for (int counter = 0;; ++counter) {
        poll(answer, waitMs);
        if (answer.find(word) != std::string::npos) return true;
        // The bootloader refused (a damaged image): no use waiting out the count.
        if (answer.find("Error:") != std::string::npos) return false;
        if (counter > polls) return false;
    }
}

bool FirmwareUpdate::restoreConsole() {
    if (!consoleClosed_) return true;
    link_.openConnection();
    consoleClosed_ = false;
    return link_.connection() != nullptr;
}

bool FirmwareUpdate::fail() {
    trace("Ein Fehler trat auf.");
    if (updateChannelOpen()) {
        comm_.CloseChannel(channel_);
        clock_.sleepMs(1000);
    }
    // The console gets its connection back on every failure, also when the update channel
    // could not even be opened.
    if (consoleClosed_) {
        restoreConsole();
        clock_.sleepMs(1000);
    }
    return false;
}

bool FirmwareUpdate::UpdateT4(const std::string& path, const std::string& sizeText) {
    trace("Starte Tesra 4 Firmware Update");
    // The image is read whole first: a file that cannot be read or holds nothing must not
    // put a device into its bootloader.
    trace("Firmware Datei wird geöffnet.");
    std::ifstream file(path, std::ios::binary);
    std::vector<uint8_t> image;
    if (file) image.assign(std::istreambuf_iterator<char>(file), {});
    trace("Firmware Grösse:" + sizeText + " Bytes.");
    trace("Firmware Datei wird ausgelesen.");
    if (!file.good() && !file.eof()) image.clear();
    trace("Ausgelesen:" + std::to_string(image.size()) + " Bytes gelesen.");
    if (image.empty()) {
        trace("Firmware Datei ist leer oder nicht lesbar: " + path);
        return fail();
    }

    TTesra* tesra = link_.connection();
    if (targetAddress != 0 && tesra) {
        tesra->Address = static_cast<uint8_t>(targetAddress);
        const int own = toInt(tesra->ReadValue(kAddressReg));
        // A device already in its bootloader does not answer: it keeps the address it has.
        if (own >= 1 && own <= 247) targetAddress = own;
        tesra->Address = static_cast<uint8_t>(targetAddress);
        trace("Tesra: Softreset.");
        tesra->WriteValue(kSoftResetReg, "1", kWriteAddressed);
    }

    link_.closeConnection();
    consoleClosed_ = true;
    clock_.sleepMs(200);
    channel_ = link_.openUpdateChannel();
    if (channel_.Handle <= 0) {
        channel_.Handle = 0;
        return fail();
    }
    clock_.sleepMs(200);
    trace("Schnittstelle mit Firmware update Einstellungen initialisiert");

    if (!wakeBootloader() || !requestUpdate()) return fail();

    memo(texts_.text("infoUpdateSend"));
    if (SendUpdateT4(image.data(), static_cast<int>(image.size()), kPacketSize) != 1) return fail();

    if (!awaitWord("UPDATE OK", 100, kFlashPollWaitMs)) return fail();
    trace("'Update Ok' erhalten.");

    static const uint8_t kLf[] = {'\n'};
    static const uint8_t kRun[] = {'R', 'U', 'N', '\n'};
    writeWhole(kLf, 1);
    clock_.sleepMs(200);
    trace("'Run' wird gesendet.");
    writeWhole(kRun, 4);
    if (!awaitWord("RUN", 100, kPollWaitMs)) return fail();
    trace("Quitierung 'Run' erhalten, Tesra startet.");

    comm_.PurgeInput(channel_.IsTcp, channel_.Handle);
    comm_.CloseChannel(channel_);
    clock_.sleepMs(2000);
    trace("Schnittstelle für Tesra wird initialisiert.");
    restoreConsole();
    clock_.sleepMs(100);
    tesra = link_.connection();
    if (!tesra) return fail();

    if (targetAddress == 0) {
        trace("Adresse des Tesra wird auf 247 gestellt.");
        tesra->WriteValue(kAddressReg, "247", kWriteBroadcast);
        targetAddress = 247;
    }
    tesra->Address = static_cast<uint8_t>(targetAddress);
    if (toInt(tesra->ReadValue(kAddressReg)) != targetAddress) return fail();
    trace("Tesra gefunden.");
    memo(texts_.text("infoUpdateSet"));
    clock_.sleepMs(50);
    trace("Software abhängige Einstellungen werden vorgenommen.");
    if (!ApplyVersionSettings(*tesra, clock_))
        trace("Software abhängige Einstellungen nicht vollständig.");
    trace("Update erfolgreich beendet.");
    return true;
}

int FirmwareUpdate::SendUpdateT4(const uint8_t* image, int length, int packetSize) {
    int position = 0;
    view_->setProgress(0, length);
    trace("Packetgrösse wird ermittelt.");
    if (packetSize >= length) {
        trace("Firmware wird auf einmal übertragen.");
        if (writeWhole(image, length) != length) {
            trace("Exception beim Senden der Packete.");
            return 2;
        }
        view_->setProgress(length, length);
        trace("Update gesendet.");
        return 1;
    }
    trace("Firmware wird in Packeten zu " + std::to_string(packetSize) + " Bytes versendet.");
    int chunk = packetSize;
    int remaining = length;
    for (int k = 0; remaining > 0; ++k) {
        const int at = k * packetSize;
        if (writeWhole(image + at, chunk) != chunk) {
            trace("Exception beim Senden der Packete.");
            return 2;
        }
        trace("Packet " + std::to_string(k) + " ist gesendet.");
        trace("Index: " + std::to_string(at) + "; Verbleibend: " + std::to_string(remaining));
        position += chunk;
        view_->setProgress(position, length);
        if (k % 2 == 0) view_->repaint();
        remaining -= chunk;
        if (remaining > 0 && remaining < packetSize) {
            trace("Letzte Bytes werden gesendet: " + std::to_string(remaining) + " bytes.");
            chunk = remaining;
        }
    }
    trace("Update gesendet.");
    return 1;
}

bool FirmwareUpdate::ApplyVersionSettings(TTesra& tesra, Clock& clock) {
    // Unlocked first: "ModbusHiLoSwap" is a protected register, and a device that has just
    // restarted is locked.
    bool ok = tesra.WriteValue(kAccessCodeReg, kDeviceAccessCode, kWriteAddressed) == kResultOk;
    clock.sleepMs(50);
    ok = tesra.WriteValue(kHiLoSwapReg, "0", kWriteAddressed) == kResultOk && ok;
    clock.sleepMs(50);
    const int sw = toInt(tesra.ReadValue(kSoftwareReg));
    const int hw = toInt(tesra.ReadValue(kHardwareReg));
    auto write = [&](RegisterDescriptor d, const char* text) {
        ok = tesra.WriteValue(d, text, kWriteAddressed) == kResultOk && ok;
    };
    if (sw > 0x0400 && sw < 0x0436) {
        static const char* const kOld[8] = {"0", "19.6", "0", "19.53", "0", "2000", "0", "23.53"};
        for (int k = 0; k < 8; ++k)
            write(scaleFactor(k), kOld[k]);
        write(kFilterTypeReg, "1");
    } else if (sw >= 0x0436) {
        for (int k = 0; k < 8; ++k)
            write(scaleFactor(k), k % 2 ? "1" : "0");
        write(kFilterTypeReg, "0");
    }
    if (sw > 0x0438 && (hw < 0x0400 || hw >= 0x0499)) write(kHardwareReg, "1024");
    clock.sleepMs(50);
    write(kCommandReg, "1");
    clock.sleepMs(50);
    // Locked again whatever happened before.
    ok = tesra.WriteValue(kAccessCodeReg, "0", kWriteAddressed) == kResultOk && ok;
    return ok;
}

} // namespace getkelo
