#include "sim/service_protocol.h"
#include "base/integer_parse.h"

#include "base/clock.h"
#include "comm/crc16.h"
#include "comm/value_codec.h"
#include "sim/sim_registers.h"

#include <cctype>
#include <climits>
#include <cmath>
#include <cstring>

namespace getkelo::sim {
namespace {

// Where the device keeps its values (byte offsets in the image).
constexpr int kTickListBytes = 512;
constexpr int kGain = 0x100E, kHeatPower = 0x100F, kStdNorm = 0x1021, kDigits = 0x1022,
              kUnit = 0x1023, kTheorMax = 0x1024, kPractMax = 0x1026, kZerocut = 0x1028,
              kFactor = 0x102A, kDivisor = 0x102B, kStep = 0x102C, kGasText = 0x1210;

constexpr uint16_t kWholeImage = 0x1310;
constexpr int kPrefixLength = 8; // "REEPROM=" or "WEEPROM="
constexpr const char* kReadHeader = "REEPROM=130D\r\n";
constexpr const char* kWrongHeader = "REEPROM=FFFF\r\n";

void put16(std::vector<uint8_t>& image, int at, int value) {
    image[at] = static_cast<uint8_t>(value >> 8);
    image[at + 1] = static_cast<uint8_t>(value);
}

std::vector<SimDevice*> listeners(SimBus& bus) {
    std::vector<SimDevice*> out;
    const int64_t now = bus.clock().nowMs();
    for (auto& d : bus.devices())
        if (d->config().generation == Generation::First && d->fault() != Fault::Silent &&
            !d->restarting(now))
            out.push_back(d.get());
    return out;
}

// One device answers; several at once talk over each other.
BusAnswer answerFrom(const std::vector<SimDevice*>& who, std::vector<uint8_t> bytes) {
    BusAnswer a;
    SimDevice& d = *who.front();
    a.delayMs = d.config().answerDelayMs + (d.fault() == Fault::Late ? d.lateMs() : 0);
    if (who.size() > 1 && !bytes.empty()) bytes.back() ^= 0x5A;
    a.bytes = std::move(bytes);
    return a;
}

std::vector<uint8_t> textBytes(const std::string& text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}

} // namespace

std::vector<uint8_t> initialServiceImage(const DeviceConfig& c) {
    std::vector<uint8_t> image(kSimImageSize);
    // Bytes nobody names still carry something, so a careless write would show.
    for (int i = 0; i < kSimImageSize; ++i)
        image[i] = static_cast<uint8_t>(i * 7 + 3);
    for (int list = 0; list < 8; ++list)
        for (int j = 0; j < 256; ++j)
            put16(image, list * kTickListBytes + 2 * j, j * 120 + list * 8 - 400);
    image[kGain] = 12;
    image[kHeatPower] = 80;
    image[kStdNorm] = 1;
    image[kDigits] = 2;
    image[kUnit] = 1;
    put16(image, kTheorMax, static_cast<int>(std::lround(c.range * 100)));
    put16(image, kPractMax, static_cast<int>(std::lround(c.range * 95)));
    put16(image, kZerocut, 5);
    image[kFactor] = 10;
    image[kDivisor] = 1;
    image[kStep] = 1;
    TextToValue(image.data() + kGasText, kTypeText8, c.gas);
    return image;
}

void ServiceLink::clear() {
    held_.clear();
    imageExpected_ = 0;
    imageLimit_ = 0;
    image_.clear();
}

ServiceLink::Held ServiceLink::hold(uint8_t b) {
    held_ += static_cast<char>(b);
    const char* prefix = held_[0] == 'R' ? "REEPROM=" : "WEEPROM=";
    if (held_.size() <= kPrefixLength)
        return std::strncmp(held_.c_str(), prefix, held_.size()) == 0 ? Held::More
                                                                      : Held::NotACommand;
    std::string arg = held_.substr(kPrefixLength);
    const bool read = held_[0] == 'R';
    if (b == '\r' || b == '\n') {
        arg.pop_back();
        if (!arg.empty() && arg.back() == '\r') arg.pop_back();
        std::string digits = arg.rfind("0x", 0) == 0 ? arg.substr(2) : arg;
        if (digits.empty()) return Held::NotACommand;
        if (read || b == '\n') return Held::Complete;
        return Held::More; // a write line ends with its LF
    }
    if (arg.size() >= 2 && arg[arg.size() - 2] == '\r') return Held::NotACommand;
    if (arg == "0" || arg == "0x") return Held::More;
    std::string digits = arg.rfind("0x", 0) == 0 ? arg.substr(2) : arg;
    if (digits.size() > 4 || !std::isxdigit(b)) return Held::NotACommand;
    // A read needs no line end: four digits complete it.
    return read && digits.size() == 4 ? Held::Complete : Held::More;
}

void ServiceLink::push(SimBus& bus, const uint8_t* data, int length, std::vector<uint8_t>& modbus,
                       std::vector<BusAnswer>& answers) {
    for (int i = 0; i < length; ++i) {
        const uint8_t b = data[i];
        if (imageExpected_ > 0) {
            image_.push_back(b);
            --imageExpected_;
            if (imageLimit_ > 0 && static_cast<int>(image_.size()) >= imageLimit_) {
                // The device stopped listening: the rest is just bytes on the line.
                imageExpected_ = 0;
                imageLimit_ = 0;
                image_.clear();
            } else if (imageExpected_ == 0) {
                imageComplete(bus, answers);
            }
            continue;
        }
        // Every other byte reaches the framer as well: a Modbus frame must never wait for
        // the next request because its last byte looked like the start of a command. The
        // framer skips the command text, which cannot start a request.
        modbus.push_back(b);
        if (held_.empty() && b != 'R' && b != 'W') continue;
        switch (hold(b)) {
        case Held::More:
            break;
        case Held::NotACommand:
            held_.clear();
            if (b == 'R' || b == 'W') held_ += static_cast<char>(b);
            break;
        case Held::Complete:
            finishCommand(bus, answers);
            held_.clear();
            break;
        }
    }
}

void ServiceLink::finishCommand(SimBus& bus, std::vector<BusAnswer>& answers) {
    std::vector<SimDevice*> who = listeners(bus);
    if (who.empty()) return;
    const bool read = held_[0] == 'R';
    std::string arg = held_.substr(kPrefixLength);
    while (!arg.empty() && (arg.back() == '\r' || arg.back() == '\n'))
        arg.pop_back();
    if (arg.rfind("0x", 0) == 0) arg = arg.substr(2);
    long long last = -1;
    if (!parseIntegerIn("0x" + arg, 0, 0xFFFFFFFFLL, last) || last != kWholeImage) {
        answers.push_back(answerFrom(who, textBytes("ERROR\r\n")));
        return;
    }
    if (read) {
        answerRead(bus, answers);
        return;
    }
    image_.clear();
    imageExpected_ = kSimImageSize;
    imageLimit_ = 0;
    for (SimDevice* d : who)
        if (d->serviceFault() == ServiceFault::StopHalfway) imageLimit_ = kSimImageSize / 2;
}

void ServiceLink::answerRead(SimBus& bus, std::vector<BusAnswer>& answers) {
    std::vector<SimDevice*> who = listeners(bus);
    SimDevice& d = *who.front();
    const std::vector<uint8_t>& image = d.serviceImage();
    const bool wrong = d.serviceFault() == ServiceFault::WrongLine;
    std::vector<uint8_t> out = textBytes(wrong ? kWrongHeader : kReadHeader);
    int count = d.serviceFault() == ServiceFault::StopHalfway ? kSimImageSize / 2 : kSimImageSize;
    out.insert(out.end(), image.begin(), image.begin() + count);
    if (count == kSimImageSize) {
        uint8_t crc[2];
        const uint16_t c = Crc16(image.data(), kSimImageSize);
        crc[0] = static_cast<uint8_t>(c), crc[1] = static_cast<uint8_t>(c >> 8);
        out.insert(out.end(), crc, crc + 2);
    }
    answers.push_back(answerFrom(who, std::move(out)));
}

void ServiceLink::imageComplete(SimBus& bus, std::vector<BusAnswer>& answers) {
    std::vector<SimDevice*> who = listeners(bus);
    if (who.empty()) return;
    bool ok = true;
    for (SimDevice* d : who) {
        if (d->serviceFault() == ServiceFault::WrongLine) {
            ok = false;
            continue;
        }
        d->serviceImage() = image_;
        // The identity block shows the gas the image now names.
        d->put(reg::kGasText, ValueToText(image_.data() + kGasText, kTypeText8));
    }
    answers.push_back(answerFrom(
        who, textBytes(std::string("WEEPROM=1310\r\n") + (ok ? "OK\r\n" : "ERROR\r\n"))));
    image_.clear();
}

} // namespace getkelo::sim
