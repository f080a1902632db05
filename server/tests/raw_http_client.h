#pragma once
// A client that writes exactly the bytes a test gives, as slowly as it
// likes, and reads whatever comes back: what a careless or hostile client
// does, and what a library client would never do.

#include <arpa/inet.h>
#include <chrono>
#include <netinet/in.h>
#include <poll.h>
#include <string>
#include <string_view>
#include <sys/socket.h>
#include <unistd.h>

namespace orvane::server::testing {

class RawHttpClient {
public:
    explicit RawHttpClient(int port) {
        fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<std::uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }
    ~RawHttpClient() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    RawHttpClient(const RawHttpClient&) = delete;
    RawHttpClient& operator=(const RawHttpClient&) = delete;

    bool connected() const { return fd_ >= 0; }

    // False when the server has closed the connection (or reset it).
    bool send(std::string_view bytes) {
        while (!bytes.empty()) {
            const ssize_t n = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
            if (n <= 0)
                return false;
            bytes.remove_prefix(static_cast<std::size_t>(n));
        }
        return true;
    }

    // Reads what arrives within `wait`; true once the server has closed.
    bool receive(std::chrono::milliseconds wait) {
        const auto until = std::chrono::steady_clock::now() + wait;
        while (true) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                until - std::chrono::steady_clock::now());
            if (left.count() <= 0)
                return false;
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, static_cast<int>(left.count())) <= 0)
                return false;
            char buffer[65536];
            const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
            if (n <= 0)
                return true;
            received_.append(buffer, static_cast<std::size_t>(n));
        }
    }

    // Reads until `count` whole answers have come (or `wait` passes).
    void receiveAnswers(std::size_t count, std::chrono::milliseconds wait) {
        const auto until = std::chrono::steady_clock::now() + wait;
        while (answers() < count && std::chrono::steady_clock::now() < until)
            if (receive(std::chrono::milliseconds(50)))
                return;
    }

    const std::string& received() const { return received_; }
    // The status codes of the answers received so far, in order.
    std::string statuses() const {
        std::string out;
        for (std::size_t at = received_.find("HTTP/1.1 "); at != std::string::npos;
             at = received_.find("HTTP/1.1 ", at + 1)) {
            if (!out.empty())
                out += ' ';
            out += received_.substr(at + 9, 3);
        }
        return out;
    }
    std::size_t answers() const {
        std::size_t n = 0;
        for (std::size_t at = received_.find("HTTP/1.1 "); at != std::string::npos;
             at = received_.find("HTTP/1.1 ", at + 1))
            ++n;
        return n;
    }

private:
    int fd_ = -1;
    std::string received_;
};

// A POST of `body` to the endpoint, framed by Content-Length.
inline std::string postBytes(std::string_view body, std::string_view token = {},
                             std::string_view extraHeaders = {}) {
    std::string out = "POST /orvane/v1/request HTTP/1.1\r\nHost: test\r\n"
                      "Content-Type: application/json\r\n";
    if (!token.empty())
        out += "Authorization: Bearer " + std::string(token) + "\r\n";
    out += extraHeaders;
    out += "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n";
    out += body;
    return out;
}

} // namespace orvane::server::testing
