#include "comm/tcomm.h"

#include "base/clock.h"
#include "base/ini_file.h"
#include "comm/serial_transport.h"
#include "comm/tcp_transport.h"
#include "ui/ui_adapter.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace getkelo {
namespace {

constexpr const char* kProgramSection = "Programm";
constexpr const char* kLanguageKey = "Sprache";
constexpr const char* kComPathSection = "Tesra";
constexpr int kEmptyReadWaitMs = 10;
constexpr uint32_t kMalformedIp = 0xFFFEFFFFu;

std::string addressText(const TConnectionSettings& s) {
    return std::string(s.Address, ::strnlen(s.Address, sizeof s.Address));
}

} // namespace

TComm::TComm(Clock& clock, UiAdapter* ui) : clock_(clock), ui_(ui) {}

TComm::~TComm() = default;

void TComm::InitSettings(const std::string& iniPath) {
    IniPath = iniPath;
    // The time and date formats ("hh:mm:ss", "dd.MM.yy") are fixed in base/date_time.h.
    LanguageName = IniFile(IniPath).readString(kProgramSection, kLanguageKey, "Deutsch");
    RetryLimit = 100;
}

void TComm::SaveLanguage() {
    IniFile(IniPath).writeString(kProgramSection, kLanguageKey, LanguageName);
}

TConnectionSettings TComm::ReadConnectionSettings(const std::string& section) {
    if (std::find(KnownSections.begin(), KnownSections.end(), section) == KnownSections.end())
        KnownSections.push_back(section);
    IniFile ini(IniPath);
    TConnectionSettings s;
    if (ini.readBool(section, "TcpIp", false)) {
        std::string ip = ini.readString(section, "IP", "0.0.0.0");
        if (ip.size() >= sizeof s.Address) {
            // Cutting it down could name another gateway; an empty address fails at once.
            s.Address[0] = '\0';
            LastOpenError = "IP \"" + ip + "\" is longer than 15 characters";
        } else {
            std::memcpy(s.Address, ip.c_str(), ip.size() + 1);
        }
        s.Port = static_cast<uint16_t>(ini.readInteger(section, "Port", 0));
    } else {
        std::memcpy(s.Address, "COM", 4);
        s.Port = static_cast<uint16_t>(ini.readInteger(section, "Com", 1));
    }
    return s;
}

TChannel TComm::OpenChannel(const TConnectionSettings& settings) {
    if (addressText(settings).find("COM") != std::string::npos) return openSerial(settings, false);
    return openTcp(settings);
}

TChannel TComm::OpenUpdateChannel(const TConnectionSettings& settings) {
    if (addressText(settings).find("COM") != std::string::npos) return openSerial(settings, true);
    return openTcp(settings);
}

void TComm::showOpenError(const std::string& key, const std::string& text,
                          const std::string& title) {
    if (!ui_) return;
    const std::string shown = MessageText ? MessageText(key, text) : text;
    ui_->messageBox(shown, title, MsgIcon::Error, MsgButtons::Ok);
}

TChannel TComm::openSerial(const TConnectionSettings& s, bool updateSet) {
    TChannel channel{false, -1};
    const std::string portName = "COM" + std::to_string(s.Port);
    const std::string path = ComPortPath(s.Port);
    auto transport = std::make_unique<SerialTransport>(
        path, updateSet ? SerialLineSet::Update : SerialLineSet::Device, clock_);
    const auto step = transport->open();
    const std::string where = portName + " (" + (path.empty() ? "no device" : path) + ")";
    switch (step) {
    case SerialTransport::OpenStep::Open: {
        const std::string text = "Fehler: Verbindung wird schon verwendet!";
        LastOpenError = where + ": " + text + " (" + transport->lastError() + ")";
        showOpenError("ErrPortInUse", text, portName);
        return channel;
    }
    case SerialTransport::OpenStep::NotTerminal: {
        // Unlike a port whose settings fail, such a path is never kept as a channel.
        const std::string text = "Fehler: Keine Konfiguration möglich!";
        LastOpenError = where + ": " + transport->lastError();
        showOpenError("ErrPortConfig", text, portName);
        return channel;
    }
    case SerialTransport::OpenStep::Lines: {
        const std::string text = "Fehler: Keine Konfiguration möglich!";
        LastOpenError = where + ": " + text + " (" + transport->lastError() + ")";
        showOpenError("ErrPortConfig", text, portName);
        break;
    }
    case SerialTransport::OpenStep::Timeouts: {
        const std::string text = "Fehler: Timeout kann nicht gesetzt werden!";
        LastOpenError = where + ": " + text + " (" + transport->lastError() + ")";
        showOpenError("ErrPortTimeouts", text, portName);
        break;
    }
    case SerialTransport::OpenStep::Ok:
        LastOpenError.clear();
        break;
    }
    // A port whose settings could not be applied stays open, as it always has.
    return AttachTransport(std::move(transport));
}

TChannel TComm::openTcp(const TConnectionSettings& s) {
    TChannel channel{true, -1};
    const std::string address = addressText(s);
    const uint32_t ip = ParseIPv4(address);
    if (ip == kMalformedIp) {
        // Such a target can never be reached: do not spend the connect attempts on it.
        if (!(address.empty() && !LastOpenError.empty()))
            LastOpenError = "IP \"" + address + "\" is not a dotted IPv4 address";
        return channel;
    }
    auto transport = std::make_unique<TcpTransport>(ip, s.Port, clock_);
    if (!transport->connect()) {
        LastOpenError =
            "TCP " + address + ":" + std::to_string(s.Port) + ": " + transport->lastError();
        return channel;
    }
    LastOpenError.clear();
    return AttachTransport(std::move(transport));
}

void TComm::CloseChannel(TChannel& channel) {
    if (channel.Handle > 0) transports_.erase(channel.Handle);
    channel.Handle = 0;
}

TChannel TComm::AttachTransport(std::unique_ptr<Transport> transport) {
    TChannel channel{transport->isTcp(), nextHandle_++};
    transports_[channel.Handle] = std::move(transport);
    return channel;
}

Transport* TComm::transportOf(int handle) const {
    auto it = transports_.find(handle);
    return it == transports_.end() ? nullptr : it->second.get();
}

std::string TComm::ComPortPath(int comNumber) const {
    auto it = comPathOverrides_.find(comNumber);
    if (it != comPathOverrides_.end()) return it->second;
    std::string path =
        IniFile(IniPath).readString(kComPathSection, "ComPath_" + std::to_string(comNumber), "");
    if (!path.empty()) return path;
    if (comNumber < 1) return "";
    return "/dev/ttyS" + std::to_string(comNumber - 1);
}

void TComm::SetComPortPath(int comNumber, const std::string& path) {
    comPathOverrides_[comNumber] = path;
}

void TComm::report(FrameDirection direction, FrameUnit unit, const void* data, int length) {
    if (observer_ && length > 0)
        observer_->frame(direction, unit, static_cast<const uint8_t*>(data), length,
                         clock_.nowMs());
}

ChannelState TComm::channelState(int handle) const {
    const Transport* t = transportOf(handle);
    if (!t) return ChannelState::Closed;
    return t->connected() ? ChannelState::Open : ChannelState::Reconnecting;
}

int TComm::SendBytes(const uint8_t* buffer, int length, bool isTcp, int handle) {
    Transport* t = transportOf(handle);
    if (!t) return -1;
    report(FrameDirection::Sent, FrameUnit::Piece, buffer, length);
    return t->send(buffer, length);
}

int TComm::SendFrame(const uint8_t* buffer, int length, bool isTcp, int handle) {
    Transport* t = transportOf(handle);
    if (!t) return -1;
    report(FrameDirection::Sent, FrameUnit::Whole, buffer, length);
    return t->send(buffer, length);
}

int TComm::ReceiveBytes(uint8_t* buffer, int length, bool isTcp, int handle) {
    Transport* t = transportOf(handle);
    if (!t) return -1;
    const int n = t->receive(buffer, length);
    report(FrameDirection::Received, FrameUnit::Piece, buffer, n);
    return n;
}

bool TComm::PurgeInput(bool isTcp, int handle) {
    Transport* t = transportOf(handle);
    return t && t->discardPending();
}

int TComm::ReadBytes(uint8_t* buffer, int count, bool isTcp, int handle,
                     const AnswerComplete& complete) {
    Transport* t = transportOf(handle);
    if (count <= 0 || !t) return 0;
    int got = 0;
    int idle = 0;
    while (got < count) {
        int n = t->receive(buffer + got, count - got);
        if (n > 0) {
            got += n;
            idle = 0;
            if (complete && complete(buffer, got)) break;
            continue;
        }
        if (++idle > RetryLimit) break;
        t->waitReadable(clock_, kEmptyReadWaitMs);
    }
    report(FrameDirection::Received, FrameUnit::Whole, buffer, got);
    return got;
}

int TComm::ReadUntil(char* buffer, int capacity, const std::string& terminator, bool isTcp,
                     int handle) {
    if (capacity <= 0) return 1;
    buffer[0] = '\0';
    Transport* t = transportOf(handle);
    if (!t) return 1;
    int pos = 0;
    int idle = 0;
    for (;;) {
        if (pos >= capacity - 1) {
            // The caller's buffer is full without the terminator: the rest of this answer is
            // of no use, so it must not become the start of the next one.
            t->purge();
            report(FrameDirection::Received, FrameUnit::Whole, buffer, pos);
            return 1;
        }
        int n = t->receive(reinterpret_cast<uint8_t*>(buffer) + pos, 1);
        if (n > 0) {
            pos += n;
            idle = 0;
        } else {
            ++idle;
        }
        buffer[pos] = '\0';
        if (std::string_view(buffer, pos).find(terminator) != std::string_view::npos) {
            report(FrameDirection::Received, FrameUnit::Whole, buffer, pos);
            return 0;
        }
        if (n <= 0) {
            if (idle > 2 * RetryLimit) {
                report(FrameDirection::Received, FrameUnit::Whole, buffer, pos);
                return 1;
            }
            t->waitReadable(clock_, kEmptyReadWaitMs);
        }
    }
}

int TComm::SendReceive(uint8_t* buffer, int requestLength, int responseLength, bool isTcp,
                       int handle, const AnswerComplete& complete) {
    Transport* t = handle > 0 ? transportOf(handle) : nullptr;
    if (!t) return 1;
    // A late answer of the previous exchange must not be taken for this one.
    t->purge();
    report(FrameDirection::Sent, FrameUnit::Whole, buffer, requestLength);
    (void)t->send(buffer, requestLength);
    if (responseLength <= 0) return 0;
    int n = ReadBytes(buffer, responseLength, isTcp, handle, complete);
    if (n == responseLength) return 0;
    t->purge();
    return n == 0 ? 1 : 2;
}

uint32_t TComm::ParseIPv4(const std::string& text) {
    uint8_t octets[4] = {};
    size_t i = 0;
    int groups = 0;
    while (groups < 4) {
        if (i >= text.size() || text[i] < '0' || text[i] > '9') return kMalformedIp;
        int value = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
            value = value * 10 + (text[i++] - '0');
            if (value > 255) return kMalformedIp;
        }
        octets[groups++] = static_cast<uint8_t>(value);
        if (i < text.size() && text[i] == '.' && groups < 4) {
            ++i;
            continue;
        }
        break;
    }
    if (groups != 4 || i != text.size()) return kMalformedIp;
    // First octet in the lowest-addressed byte: ready to use as the socket address.
    uint32_t address;
    std::memcpy(&address, octets, 4);
    return address;
}

} // namespace getkelo
