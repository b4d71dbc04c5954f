#include "sim/bootloader.h"

#include "base/clock.h"
#include "comm/crc16.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace getkelo::sim {
namespace {

constexpr uint8_t kXon = 0x11, kXoff = 0x13;
constexpr size_t kMaxMarkerLine = 64;
constexpr size_t kMaxCommandLine = 64;

BusAnswer text(const std::string& s, int delayMs = 0) {
    return BusAnswer{std::vector<uint8_t>(s.begin(), s.end()), delayMs};
}

bool endsWith(const std::string& s, const char* tail) {
    size_t n = std::strlen(tail);
    return s.size() >= n && s.compare(s.size() - n, n, tail) == 0;
}

} // namespace

std::optional<FirmwareMarker> parseFirmwareMarker(const uint8_t* data, size_t length) {
    const uint8_t* end =
        static_cast<const uint8_t*>(std::memchr(data, '\n', std::min(length, kMaxMarkerLine)));
    if (!end) return std::nullopt;
    std::string line(reinterpret_cast<const char*>(data), static_cast<size_t>(end - data));
    unsigned version = 0, crc = 0;
    unsigned long long total = 0;
    char tail = 0;
    if (std::sscanf(line.c_str(), "GKFW %4x %llu %4x%c", &version, &total, &crc, &tail) != 3)
        return std::nullopt;
    FirmwareMarker m;
    m.version = static_cast<uint16_t>(version);
    m.length = static_cast<size_t>(total);
    m.crc = static_cast<uint16_t>(crc);
    m.headerLength = line.size() + 1;
    if (m.length < m.headerLength) return std::nullopt;
    return m;
}

std::vector<uint8_t> makeTestFirmware(uint16_t version, size_t length) {
    // The marker's own length depends on the digits of `length`; the filler makes up the rest.
    char head[kMaxMarkerLine];
    std::snprintf(head, sizeof head, "GKFW %04X %zu 0000\n", version, length);
    const size_t headLength = std::strlen(head);
    std::vector<uint8_t> filler(length > headLength ? length - headLength : 0);
    for (size_t i = 0; i < filler.size(); ++i)
        filler[i] = static_cast<uint8_t>((i * 131 + i / 251) & 0xFF);
    std::snprintf(head, sizeof head, "GKFW %04X %zu %04X\n", version, length,
                  Crc16(filler.data(), static_cast<int>(filler.size())));
    std::vector<uint8_t> image(head, head + headLength);
    image.insert(image.end(), filler.begin(), filler.end());
    return image;
}

void BootloaderLink::clear() {
    device_ = nullptr;
    stage_ = Stage::Command;
    line_.clear();
    image_.clear();
    marker_.reset();
    xonAtMs_ = -1;
    buffered_ = 0;
}

void BootloaderLink::wake(SimBus& bus, int64_t now, std::vector<BusAnswer>& answers) {
    if (!device_) {
        for (auto& d : bus.devices()) {
            if (d->config().generation != Generation::Series4 || d->fault() == Fault::Silent ||
                !d->inBootloader(now))
                continue;
            device_ = d.get();
            break;
        }
        if (!device_) return;
        device_->openBootSession();
        errorsLeft_ = device_->bootFault() == BootFault::ErrorTwice ? 2 : 0;
        newVersion_ = 0;
    }
    stage_ = Stage::Command;
    answers.push_back(text(std::string("BOOTLOADER") + kVersion + "\r\n"));
}

void BootloaderLink::commandLine(int64_t now, std::vector<BusAnswer>& answers) {
    std::string line = line_;
    line_.clear();
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r' || line.back() == ' '))
        line.pop_back();
    if (line == "UPDATE") {
        if (device_->bootFault() == BootFault::NoAnswer) return;
        if (errorsLeft_ > 0) {
            --errorsLeft_;
            answers.push_back(text("Error: not ready\r\n"));
            return;
        }
        stage_ = Stage::Image;
        image_.clear();
        marker_.reset();
        lost_ = false;
        buffered_ = 0;
        lastMs_ = now;
        answers.push_back(text("SEND FILE\r\n"));
    } else if (line == "RUN") {
        if (!device_->startFirmware(now, newVersion_)) {
            answers.push_back(text("Error: no firmware\r\n"));
            return;
        }
        answers.push_back(text("RUN\r\n"));
        device_ = nullptr;
    }
}

void BootloaderLink::drain(int64_t now) {
    if (!flowControl_) return;
    buffered_ = std::max(0.0, buffered_ - double(now - lastMs_) * kFlashBytesPerMs);
    lastMs_ = now;
    if (xonAtMs_ >= 0 && now >= xonAtMs_) xonAtMs_ = -1;
}

void BootloaderLink::imageByte(uint8_t b, int64_t now, std::vector<BusAnswer>& answers) {
    if (flowControl_) {
        if (buffered_ + 1 > kBufferBytes) {
            lost_ = true; // the sender did not stop: the byte falls on the floor
            return;
        }
        buffered_ += 1;
    }
    image_.push_back(b);
    if (!marker_) {
        marker_ = parseFirmwareMarker(image_.data(), image_.size());
        if (!marker_ && (image_.size() >= kMaxMarkerLine || b == '\n')) {
            answers.push_back(text("Error: no firmware image\r\n"));
            stage_ = Stage::Dropped;
            return;
        }
    }
    const size_t half = marker_ ? marker_->length / 2 : 0;
    if (marker_ && image_.size() == half && device_->bootFault() == BootFault::StopHalfway) {
        device_->setBootFault(BootFault::None); // once; it says nothing more until woken again
        stage_ = Stage::Dropped;
        return;
    }
    if (flowControl_ && xonAtMs_ < 0) {
        int holdMs = -1;
        if (marker_ && image_.size() == half && device_->bootFault() == BootFault::HoldXoff) {
            holdMs = device_->bootFaultMs();
            device_->setBootFault(BootFault::None); // once
        } else if (buffered_ >= kHighWater) {
            holdMs = static_cast<int>((buffered_ - kLowWater) / kFlashBytesPerMs) + 1;
        }
        if (holdMs >= 0) {
            answers.push_back(BusAnswer{{kXoff}, 0});
            answers.push_back(BusAnswer{{kXon}, holdMs});
            xonAtMs_ = now + holdMs;
        }
    }
    if (marker_ && image_.size() == marker_->length) imageComplete(answers);
}

void BootloaderLink::imageComplete(std::vector<BusAnswer>& answers) {
    stage_ = Stage::Command;
    const uint8_t* body = image_.data() + marker_->headerLength;
    const int bodyLength = static_cast<int>(image_.size() - marker_->headerLength);
    if (lost_ || Crc16(body, bodyLength) != marker_->crc) {
        answers.push_back(text("Error: image damaged\r\n"));
        return;
    }
    newVersion_ = marker_->version;
    answers.push_back(text("UPDATE OK\r\n"));
}

void BootloaderLink::push(SimBus& bus, const uint8_t* data, int length,
                          std::vector<uint8_t>& passOn, std::vector<BusAnswer>& answers) {
    const int64_t now = bus.clock().nowMs();
    drain(now);
    for (int i = 0; i < length; ++i) {
        const uint8_t b = data[i];
        if (device_ && !device_->bootSession()) device_ = nullptr;
        if (!device_ || stage_ != Stage::Image) {
            line_ += static_cast<char>(b);
            if (line_.size() > kMaxCommandLine) line_.erase(0, line_.size() - kMaxCommandLine);
        }
        if (!device_) {
            // Every byte also reaches the Modbus side: only a woken bootloader owns the line.
            passOn.push_back(b);
            if (endsWith(line_, "QTX")) {
                line_.clear();
                wake(bus, now, answers);
            }
            continue;
        }
        switch (stage_) {
        case Stage::Image:
            imageByte(b, now, answers);
            break;
        case Stage::Command:
        case Stage::Dropped:
            if (endsWith(line_, "QTX")) {
                line_.clear();
                wake(bus, now, answers);
            } else if (b == '\n' && stage_ == Stage::Command) {
                commandLine(now, answers);
            }
            break;
        }
    }
}

} // namespace getkelo::sim
