#pragma once
// getkelo-sim as a child process on a loopback TCP port of its choosing (GETKELO_SIM_BINARY).
#include <csignal>
#include <cstdio>
#include <sys/wait.h>
#include <unistd.h>

namespace getkelo::bench {

struct SimChild {
    pid_t pid = -1;
    int port = 0; // 0 when the simulator did not start
    SimChild() {
        int out[2];
        if (::pipe(out) != 0) return;
        pid = ::fork();
        if (pid == 0) {
            ::dup2(out[1], 1);
            ::execl(GETKELO_SIM_BINARY, GETKELO_SIM_BINARY, "--tcp", "127.0.0.1:0", nullptr);
            ::_exit(127);
        }
        ::close(out[1]);
        char line[128] = {};
        ssize_t n = ::read(out[0], line, sizeof line - 1);
        if (n > 0) std::sscanf(line, "tcp 127.0.0.1:%d", &port);
        ::close(out[0]);
    }
    ~SimChild() {
        if (pid > 0) {
            ::kill(pid, SIGTERM);
            ::waitpid(pid, nullptr, 0);
        }
    }
    SimChild(const SimChild&) = delete;
    SimChild& operator=(const SimChild&) = delete;
};

} // namespace getkelo::bench
