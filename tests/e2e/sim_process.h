#pragma once
#include <string>
#include <sys/types.h>
#include <vector>

namespace getkelo::e2e {

// The real getkelo-sim binary ($GETKELO_BUILD_DIR/bin) as a child process: started with
// the given arguments, its ready lines read, fault commands sent on its standard input.
class SimProcess {
  public:
    // Starts the simulator; ready() tells whether it printed all its ready lines.
    explicit SimProcess(const std::vector<std::string>& args);
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    bool ready() const { return ready_; }
    int tcpPort() const { return port_; }
    const std::string& ptySlave() const { return slave_; }
    // Sends one command line and returns the acknowledgement line.
    std::string command(const std::string& line);
    // SIGTERM and wait; returns the exit status.
    int stop();
    pid_t pid() const { return pid_; }

    static std::string binDir();
    // Runs a program, returns its standard output; exit status in *status.
    static std::string run(const std::vector<std::string>& argv, int* status);

  private:
    std::string readLine(int timeoutMs);

    pid_t pid_ = -1;
    int in_ = -1;
    int out_ = -1;
    std::string buffer_;
    bool ready_ = false;
    int port_ = 0;
    std::string slave_;
};

} // namespace getkelo::e2e
