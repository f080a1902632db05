#pragma once
// Serves one ServerCore's endpoint over HTTP/1.1, with TLS when given a
// certificate and key.

#include <atomic>
#include <memory>
#include <string>

namespace httplib {
class Server;
}

namespace orvane::server {

class Endpoint;
class Log;

struct TlsFiles {
    std::string certificate;
    std::string key;
    bool enabled() const { return !certificate.empty(); }
};

class HttpServer {
public:
    HttpServer(Endpoint& endpoint, Log& log, const TlsFiles& tls = {});
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    // Binds host:port (port 0 picks a free one); returns the port, or -1.
    int bind(const std::string& host, int port);
    // Serves until stop(); call from the thread that should serve.
    bool serve();
    // Safe from any thread at any time, also before serve() has started.
    void stop();
    bool valid() const;

private:
    Endpoint& endpoint_;
    Log& log_;
    std::unique_ptr<httplib::Server> server_;
    std::atomic<bool> serving_{false};
    std::atomic<bool> stopRequested_{false};
};

} // namespace orvane::server
