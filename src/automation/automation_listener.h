#pragma once
#include <string>
#include <sys/types.h>

namespace getkelo {

// The listening end of the automation socket. A socket file left by a console that was
// killed is replaced; one that a live console still serves is left alone.
class AutomationListener {
  public:
    enum class Outcome {
        Listening,
        InUse,  // another console answers on the path
        Failed, // error() says why
    };

    AutomationListener() = default;
    ~AutomationListener();
    AutomationListener(const AutomationListener&) = delete;
    AutomationListener& operator=(const AutomationListener&) = delete;

    Outcome listen(const std::string& path);
    const std::string& error() const { return error_; }
    const std::string& path() const { return path_; }
    int fd() const { return fd_; }

    // One waiting peer of this user (non-blocking, close-on-exec), or -1 when none waits.
    // A peer of another user is closed at once and counted.
    int acceptPeer();
    int refusedPeers() const { return refused_; }

    // Stops listening and removes the socket file, unless another console has replaced it.
    void close();

  private:
    bool bindFresh();

    int fd_ = -1;
    std::string path_;
    std::string error_;
    dev_t dev_ = 0;
    ino_t ino_ = 0;
    int refused_ = 0;
};

} // namespace getkelo
