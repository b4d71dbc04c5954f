#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace getkelo {

// A request line of at most this many bytes (without its line end).
inline constexpr size_t kMaxRequestLine = 64 * 1024;

// One connected script: its socket, the part of the line it is sending, and the answer and
// pushed lines that wait to go out. Never blocks: reads and writes take what the socket
// allows at the moment.
class ClientConnection {
  public:
    struct Line {
        std::string text;
        bool tooLong = false; // the line passed kMaxRequestLine; its bytes were dropped
    };

    ClientConnection(int fd, uint64_t id);
    ~ClientConnection();
    ClientConnection(const ClientConnection&) = delete;
    ClientConnection& operator=(const ClientConnection&) = delete;

    int fd() const { return fd_; }
    uint64_t id() const { return id_; }

    // Reads what has arrived; complete lines are appended to `lines`. False once the peer has
    // closed or the socket failed.
    bool readLines(std::vector<Line>& lines);

    // Queues one line (a line end is added) and writes as much as the socket takes; false
    // once the socket has failed.
    bool send(const std::string& line);
    // Writes what waits; false when the socket failed.
    bool flush();
    // Bytes that the peer has not taken yet.
    size_t backlog() const { return out_.size() - sent_; }
    // The server's write interest in this socket (it watches for room while lines wait).
    bool watchingWrite = false;

  private:
    int fd_;
    uint64_t id_;
    std::string in_;
    bool discarding_ = false; // inside an over-long line, up to its end
    std::string out_;
    size_t sent_ = 0;
    bool failed_ = false;
};

} // namespace getkelo
