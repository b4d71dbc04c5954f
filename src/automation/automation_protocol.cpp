#include "automation/automation_protocol.h"

#include "comm/descriptor_text.h"

namespace getkelo {

namespace err = automation_error;

namespace {
// The most registers one function-16 write carries (the read limit is higher).
constexpr int kMaxRegisters = 123;
} // namespace

OpKind opKind(const std::string& op) {
    if (op == "list" || op == "values" || op == "subscribe" || op == "unsubscribe")
        return OpKind::Immediate;
    if (op == "read" || op == "write" || op == "setpoint") return OpKind::Bus;
    if (op == "log") return OpKind::TickStart;
    return OpKind::Unknown;
}

std::optional<AutomationRequest> parseRequest(const std::string& line, Json& errorAnswer_) {
    Json message = Json::parse(line, nullptr, false);
    if (message.is_discarded() || !message.is_object()) {
        errorAnswer_ = errorAnswer(nullptr, err::kBadJson, "the line is not a JSON object");
        return std::nullopt;
    }
    AutomationRequest r;
    if (auto id = message.find("id"); id != message.end()) r.id = *id;
    auto op = message.find("op");
    if (op == message.end() || !op->is_string()) {
        errorAnswer_ = errorAnswer(r.id, err::kBadRequest, "the request has no \"op\" text");
        return std::nullopt;
    }
    r.op = op->get<std::string>();
    r.body = std::move(message);
    return r;
}

Json okAnswer(const Json& id, Json result) {
    return Json{{"id", id}, {"ok", true}, {"result", std::move(result)}};
}

Json errorAnswer(const Json& id, const char* code, const std::string& text, const Json& extra) {
    Json error{{"code", code}, {"text", text}};
    error.update(extra);
    return Json{{"id", id}, {"ok", false}, {"error", std::move(error)}};
}

std::string toLine(const Json& message) {
    return message.dump(-1, ' ', false, Json::error_handler_t::replace);
}

int addressField(const Json& body) {
    auto a = body.find("address");
    if (a == body.end() || !a->is_number_integer() || *a < 1 || *a > 247)
        throw RequestError(err::kBadRequest, "\"address\" must be a number from 1 to 247");
    return a->get<int>();
}

RegisterDescriptor registerField(const Json& body) {
    auto r = body.find("register");
    RegisterDescriptor d = 0;
    std::string error;
    if (r != body.end() && r->is_number_unsigned() && *r <= 0xFFFFFFFFull) {
        d = r->get<RegisterDescriptor>();
        if (typeByteCount(descType(d)) == 0) error = "unknown type code";
    } else if (r != body.end() && r->is_string()) {
        parseDescriptor(r->get<std::string>(), d, error);
    } else {
        error = "\"register\" must be a descriptor (\"0x0006:float\", \"0x00060213\") or a "
                "register name";
    }
    if (error.empty() && (descCount(d) == 0 || descCount(d) > kMaxRegisters ||
                          2 * descCount(d) < typeByteCount(descType(d))))
        error = "the register count does not hold the type";
    if (!error.empty()) throw RequestError(err::kBadRequest, error);
    return d;
}

std::string valueText(const Json& body, const char* field) {
    if (auto t = optionalText(body, field)) return *t;
    throw RequestError(err::kBadRequest, std::string("the request needs \"") + field + "\"");
}

std::optional<std::string> optionalText(const Json& body, const char* field) {
    auto v = body.find(field);
    if (v == body.end() || v->is_null()) return std::nullopt;
    if (v->is_string()) return v->get<std::string>();
    if (v->is_number()) return v->dump();
    throw RequestError(err::kBadRequest,
                       std::string("\"") + field + "\" must be a text or a number");
}

} // namespace getkelo
