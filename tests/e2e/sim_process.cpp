#include "sim_process.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace getkelo::e2e {

std::string SimProcess::binDir() {
    const char* dir = std::getenv("GETKELO_BUILD_DIR");
    return std::string(dir && *dir ? dir : ".") + "/bin";
}

namespace {
std::vector<char*> argvOf(std::vector<std::string>& args) {
    std::vector<char*> v;
    for (auto& a : args)
        v.push_back(a.data());
    v.push_back(nullptr);
    return v;
}
} // namespace

SimProcess::SimProcess(const std::vector<std::string>& args) {
    int toChild[2], fromChild[2];
    if (::pipe2(toChild, O_CLOEXEC) != 0 || ::pipe2(fromChild, O_CLOEXEC) != 0) return;
    std::vector<std::string> all{binDir() + "/getkelo-sim"};
    all.insert(all.end(), args.begin(), args.end());
    pid_ = ::fork();
    if (pid_ == 0) {
        ::dup2(toChild[0], 0);
        ::dup2(fromChild[1], 1);
        auto v = argvOf(all);
        ::execv(v[0], v.data());
        ::_exit(127);
    }
    ::close(toChild[0]);
    ::close(fromChild[1]);
    in_ = toChild[1];
    out_ = fromChild[0];
    int expected = 0;
    for (auto& a : args)
        expected += a == "--tcp" || a == "--pty";
    for (int i = 0; i < expected; ++i) {
        std::string line = readLine(5000);
        if (line.rfind("tcp ", 0) == 0)
            port_ = std::atoi(line.c_str() + line.rfind(':') + 1);
        else if (line.rfind("pty ", 0) == 0)
            slave_ = line.substr(4, line.find(" -> ") - 4);
        else
            return;
    }
    ready_ = true;
}

SimProcess::~SimProcess() {
    stop();
}

std::string SimProcess::readLine(int timeoutMs) {
    for (;;) {
        auto eol = buffer_.find('\n');
        if (eol != std::string::npos) {
            std::string line = buffer_.substr(0, eol);
            buffer_.erase(0, eol + 1);
            return line;
        }
        pollfd p{out_, POLLIN, 0};
        if (::poll(&p, 1, timeoutMs) <= 0) return "";
        char buf[256];
        ssize_t n = ::read(out_, buf, sizeof buf);
        if (n <= 0) return "";
        buffer_.append(buf, static_cast<size_t>(n));
    }
}

std::string SimProcess::command(const std::string& line) {
    std::string l = line + "\n";
    if (::write(in_, l.data(), l.size()) != static_cast<ssize_t>(l.size())) return "";
    return readLine(5000);
}

int SimProcess::stop() {
    if (pid_ <= 0) return -1;
    ::kill(pid_, SIGTERM);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
    if (in_ >= 0) ::close(in_);
    if (out_ >= 0) ::close(out_);
    in_ = out_ = -1;
    return status;
}

std::string SimProcess::run(const std::vector<std::string>& argv, int* status) {
    int fromChild[2];
    if (::pipe2(fromChild, O_CLOEXEC) != 0) return "";
    std::vector<std::string> args = argv;
    pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(fromChild[1], 1);
        auto v = argvOf(args);
        ::execv(v[0], v.data());
        ::_exit(127);
    }
    ::close(fromChild[1]);
    std::string out;
    char buf[512];
    ssize_t n;
    while ((n = ::read(fromChild[0], buf, sizeof buf)) > 0 || (n < 0 && errno == EINTR))
        if (n > 0) out.append(buf, static_cast<size_t>(n));
    ::close(fromChild[0]);
    int st = 0;
    ::waitpid(pid, &st, 0);
    if (status) *status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return out;
}

} // namespace getkelo::e2e
