#pragma once
#include "comm/register_descriptor.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>

namespace getkelo {

// The automation socket speaks one JSON object per line each way. A request:
//   {"id": 7, "op": "read", "address": 1, "register": "0x0006:float"}
// its answer repeats the id:
//   {"id": 7, "ok": true, "result": {...}}   or
//   {"id": 7, "ok": false, "error": {"code": "unknown_device", "text": "..."}}
// and a subscribed client also gets {"event": "tick", ...} lines without an id.
using Json = nlohmann::json;

// Error codes of the answers.
namespace automation_error {
inline constexpr const char* kBadJson = "bad_json";       // the line is not a JSON object
inline constexpr const char* kBadRequest = "bad_request"; // a field is missing or wrong
inline constexpr const char* kUnknownOp = "unknown_op";
inline constexpr const char* kUnknownDevice = "unknown_device"; // not in the console's list
inline constexpr const char* kLineTooLong = "line_too_long";
inline constexpr const char* kAccessDenied = "access_denied"; // protected register, no code
inline constexpr const char* kBus = "bus";                    // the exchange failed
inline constexpr const char* kNotController = "not_controller";
inline constexpr const char* kOutOfRange = "out_of_range";
inline constexpr const char* kBusy = "busy"; // too many waiting, or the console did not poll
inline constexpr const char* kNoConnection = "no_connection";
inline constexpr const char* kTooManyClients = "too_many_clients";
inline constexpr const char* kLogger = "logger";
} // namespace automation_error

// A request that cannot be carried out: becomes the error answer.
struct RequestError : std::runtime_error {
    RequestError(const char* code, const std::string& text, Json extra = Json::object())
        : std::runtime_error(text), code(code), extra(std::move(extra)) {}
    const char* code;
    Json extra; // more fields of the error object ("result" of a failed exchange)
};

struct AutomationRequest {
    uint64_t client = 0;
    Json id; // null when the request had none
    std::string op;
    Json body;
    int64_t queuedMs = 0;
};

// When a request runs: at once when its line is read, or in the console's tick.
enum class OpKind {
    Immediate, // list, values, subscribe, unsubscribe: no bus, no change to the console
    Bus,       // read, write, setpoint: between the tick's exchanges
    TickStart, // log: at the start of a tick, where the console's state may change
    Unknown,
};
OpKind opKind(const std::string& op);

// A request line; nullopt with the error answer filled in.
std::optional<AutomationRequest> parseRequest(const std::string& line, Json& errorAnswer);

Json okAnswer(const Json& id, Json result);
Json errorAnswer(const Json& id, const char* code, const std::string& text,
                 const Json& extra = Json::object());
// One line of the protocol; text that is not UTF-8 is replaced, never an exception.
std::string toLine(const Json& message);

// Fields of a request (RequestError when missing or wrong).
int addressField(const Json& body);
// "register": a descriptor text or register name as getkelo-cli takes them, or the packed
// number; its register count must hold its type.
RegisterDescriptor registerField(const Json& body);
// A value as the device layer takes it: a string as it is, a number as JSON writes it.
std::string valueText(const Json& body, const char* field);
std::optional<std::string> optionalText(const Json& body, const char* field);

} // namespace getkelo
