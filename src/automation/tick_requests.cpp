#include "automation/tick_requests.h"

#include "automation/device_values.h"

#include "base/number_format.h"
#include "comm/register_catalogue.h"
#include "comm/ttesra.h"
#include "comm/value_codec.h"
#include "console/console.h"
#include "console/device_list.h"
#include "console/device_probe.h"

#include <cmath>

namespace getkelo {

namespace err = automation_error;

namespace {

// Puts the connection's Address back for the console's next own exchange.
class KeepAddress {
  public:
    explicit KeepAddress(TTesra& tesra) : tesra_(tesra), address_(tesra.Address) {}
    ~KeepAddress() { tesra_.Address = address_; }

  private:
    TTesra& tesra_;
    uint8_t address_;
};

// How an exchange failed: the transaction result, and the device's exception code when it
// refused (a refused write is an exception answer, whatever the result says).
Json failure(int result, const TTesra& tesra) {
    if (tesra.LastException)
        return Json{{"result", kResultShort}, {"exception", tesra.LastException}};
    return Json{{"result", result}};
}

std::string hexRegister(RegisterDescriptor d) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "0x%04X", descRegister(d));
    return buf;
}

} // namespace

bool TickRequests::openForWrite(RegisterDescriptor d) {
    static const RegisterDescriptor kOpen[] = {reg::kSetpoint, reg::kTotalizer, reg::kControlMode,
                                               reg::kAlarmReset, reg::kSoftReset};
    const int first = descRegister(d), end = first + descCount(d);
    for (RegisterDescriptor o : kOpen)
        if (first >= descRegister(o) && end <= descRegister(o) + descCount(o)) return true;
    return false;
}

Json TickRequests::run(const AutomationRequest& request) {
    const Json& body = request.body;
    if (request.op == "log") return log(body);
    if (request.op == "read") return read(body);
    if (request.op == "write") return write(body);
    if (request.op == "setpoint") return setpoint(body);
    throw RequestError(err::kUnknownOp, "unknown operation \"" + request.op + "\"");
}

TTesra& TickRequests::connection() {
    TTesra* tesra = console_.connection();
    if (!tesra || !tesra->isOpen())
        throw RequestError(err::kNoConnection, "the console has no open bus connection");
    return *tesra;
}

int TickRequests::listedRow(int address) const {
    int row = console_.devices().findAddress(address);
    if (row == 0)
        throw RequestError(err::kUnknownDevice,
                           "the console lists no device at address " + std::to_string(address));
    return row;
}

Json TickRequests::read(const Json& body) {
    const int address = addressField(body);
    const RegisterDescriptor d = registerField(body);
    listedRow(address);
    TTesra& tesra = connection();
    KeepAddress keep(tesra);
    tesra.Address = static_cast<uint8_t>(address);
    uint8_t buffer[kFrameBufferSize] = {};
    const int result = tesra.ReadRegisters(buffer, descRegister(d), descCount(d));
    if (result != kResultOk)
        throw RequestError(err::kBus,
                           "read from address " + std::to_string(address) + ": " +
                               pollErrorText(result),
                           failure(result, tesra));
    return Json{{"value", ValueToText(buffer + 3, descType(d))}};
}

Json TickRequests::write(const Json& body) {
    const bool broadcast = body.value("broadcast", false);
    const int address = broadcast ? 0 : addressField(body);
    const RegisterDescriptor d = registerField(body);
    const std::string text = valueText(body, "value");
    const auto code = optionalText(body, "access_code");
    if (!openForWrite(d)) {
        if (!code)
            throw RequestError(err::kAccessDenied, "register " + hexRegister(d) +
                                                       " is protected: the request needs "
                                                       "\"access_code\"");
        if (*code != reg::kAccessCodeText)
            throw RequestError(err::kAccessDenied, "wrong access code");
    }
    if (!broadcast) listedRow(address);
    TTesra& tesra = connection();
    KeepAddress keep(tesra);
    tesra.Address = static_cast<uint8_t>(address);
    const int8_t mode = broadcast ? kWriteBroadcast : kWriteAddressed;
    const std::string target = broadcast ? "all devices" : "address " + std::to_string(address);
    // As the console's own dialogs do: the code first, then the protected value.
    if (code && tesra.WriteValue(reg::kAccessCode, *code, mode) != 0)
        throw RequestError(err::kBus, "unlocking " + target + " failed",
                           failure(kResultNoAnswer, tesra));
    if (tesra.WriteValue(d, text, mode) != 0)
        throw RequestError(err::kBus, "write to " + target + " failed",
                           failure(kResultNoAnswer, tesra));
    return Json::object();
}

Json TickRequests::setpoint(const Json& body) {
    const int address = addressField(body);
    const std::string text = valueText(body, "value");
    const int row = listedRow(address);
    const DeviceList& list = console_.devices();
    if (!(list.record(row).functions & kFnController))
        throw RequestError(err::kNotController, "the device at address " + std::to_string(address) +
                                                    " is not a controller");
    double value = 0;
    if (!parseNumber(text, value) || !std::isfinite(value))
        throw RequestError(err::kBadRequest, "\"value\" is not a number: " + text);
    // The console's own check: from 0 up to the range, with its 0.1 % of headroom.
    const double range = textToDouble(list.cell(row, kColRange));
    const float limit = static_cast<float>(range * 1.001);
    const float setpoint = static_cast<float>(value);
    if (setpoint < 0 || setpoint > limit)
        throw RequestError(err::kOutOfRange, "setpoint " + text + " is outside 0 to " +
                                                 list.cell(row, kColRange) + " " +
                                                 list.cell(row, kColUnit));
    TTesra& tesra = connection();
    KeepAddress keep(tesra);
    tesra.Address = static_cast<uint8_t>(address);
    if (tesra.WriteValue(reg::kSetpoint, formatGeneral(setpoint, 7), kWriteAddressed) != 0)
        throw RequestError(err::kBus, "write to address " + std::to_string(address) + " failed",
                           failure(kResultNoAnswer, tesra));
    return Json::object();
}

Json TickRequests::log(const Json& body) {
    LogHook* logger = console_.logHook();
    if (!logger) throw RequestError(err::kLogger, "this console has no data logger");
    const std::string action = body.value("action", std::string("status"));
    DeviceList& list = console_.devices();
    if (action == "start") {
        if (body.contains("address") || body.contains("addresses")) {
            if (logger->running())
                throw RequestError(err::kLogger, "the logged devices change only while the "
                                                 "logger is stopped");
            const std::vector<int> marked = addressesField(body, list);
            for (int r = 1; r <= list.count(); ++r) {
                bool on = false;
                for (int a : marked)
                    on |= list.record(r).address == a;
                list.setCell(r, kColLogMark, on ? " x" : "");
            }
        }
        if (!logger->running()) logger->start();
        if (!logger->running()) throw RequestError(err::kLogger, "the data logger did not start");
    } else if (action == "stop") {
        if (logger->running()) logger->stop();
    } else if (action != "status") {
        throw RequestError(err::kBadRequest, "\"action\" is start, stop or status");
    }
    Json logged = Json::array();
    for (int r = 1; r <= list.count(); ++r)
        if (list.marked(r, kColLogMark)) logged.push_back(list.record(r).address);
    return Json{{"running", logger->running()}, {"logged", std::move(logged)}};
}

} // namespace getkelo
