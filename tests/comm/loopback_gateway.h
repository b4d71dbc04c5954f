#pragma once
#include "scripted_peer.h"

#include <arpa/inet.h>
#include <chrono>
#include <functional>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace getkelo::test {

// A TCP gateway on 127.0.0.1 with a device behind it, served by a thread.
class LoopbackGateway {
  public:
    using Responder = std::function<Bytes(const Bytes& request)>;

    LoopbackGateway() {
        listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        int one = 1;
        ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(listener_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        ::listen(listener_, 4);
        socklen_t len = sizeof a;
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&a), &len);
        port_ = ntohs(a.sin_port);
    }
    ~LoopbackGateway() {
        join();
        ::close(listener_);
    }
    uint16_t port() const { return port_; }

    // Accepts one connection and answers up to `requests` requests through `respond` (an
    // empty answer is silence), each answer in pieces of `piece` bytes 3 ms apart; then
    // closes the connection.
    void serve(int requests, Responder respond, size_t piece = 256) {
        join();
        thread_ = std::thread([this, requests, respond, piece] {
            // A client that never comes (a program that failed to start) must not hang
            // the test.
            pollfd p{listener_, POLLIN, 0};
            if (::poll(&p, 1, 5000) <= 0) return;
            int c = ::accept(listener_, nullptr, nullptr);
            if (c < 0) return;
            for (int i = 0; i < requests; ++i) {
                Bytes req;
                if (!readFrame(c, req)) break;
                received.push_back(req);
                Bytes answer = respond(req);
                for (size_t off = 0; off < answer.size(); off += piece) {
                    ::send(c, answer.data() + off, std::min(piece, answer.size() - off),
                           MSG_NOSIGNAL);
                    if (off + piece < answer.size())
                        std::this_thread::sleep_for(std::chrono::milliseconds(3));
                }
            }
            ::close(c);
        });
    }
    void serve(int requests, const Bytes& answer, size_t piece = 256) {
        serve(
            requests, [answer](const Bytes&) { return answer; }, piece);
    }
    void join() {
        if (thread_.joinable()) thread_.join();
    }

    std::vector<Bytes> received; // read after join()

  private:
    // A request frame: 8 bytes, or for function 16 the 7-byte head, the data and the CRC.
    static bool readFrame(int c, Bytes& frame) {
        auto readN = [c, &frame](size_t n) {
            size_t start = frame.size();
            frame.resize(start + n);
            size_t got = 0;
            while (got < n) {
                ssize_t r = ::recv(c, frame.data() + start + got, n - got, 0);
                if (r <= 0) return false;
                got += static_cast<size_t>(r);
            }
            return true;
        };
        if (!readN(7)) return false;
        return frame[1] == 0x10 ? readN(frame[6] + 2u) : readN(1);
    }

    int listener_ = -1;
    uint16_t port_ = 0;
    std::thread thread_;
};

} // namespace getkelo::test
