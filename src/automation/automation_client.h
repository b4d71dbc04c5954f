#pragma once
#include "automation/automation_protocol.h"

#include <string>
#include <vector>

namespace getkelo {

// A script's end of the automation socket (getkelo-cli --console, tests). Blocking, with a
// time limit on every answer.
class AutomationClient {
  public:
    AutomationClient() = default;
    ~AutomationClient();
    AutomationClient(const AutomationClient&) = delete;
    AutomationClient& operator=(const AutomationClient&) = delete;

    // False with error() when no console serves the path.
    bool connect(const std::string& path);
    const std::string& error() const { return error_; }
    int fd() const { return fd_; }

    // Sends the request with a fresh id and returns its answer; lines pushed meanwhile are
    // kept for nextEvent(). A null Json after error() (no answer in time, connection lost).
    Json request(Json request, int timeoutMs = 30'000);
    // The next pushed line (a tick), or null after timeoutMs.
    Json nextEvent(int timeoutMs);

  private:
    // One line, or nullopt after the time limit or when the connection ends.
    bool readLine(std::string& line, int timeoutMs);
    bool sendAll(const std::string& text);

    int fd_ = -1;
    int64_t nextId_ = 1;
    std::string buffer_;
    std::vector<Json> events_;
    std::string error_;
};

} // namespace getkelo
