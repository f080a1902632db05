#pragma once
// Serves one ServerCore's endpoint over HTTP/1.1, with TLS when given a
// certificate and key. One thread reads and writes every connection without
// ever waiting on one; a pool of workers runs the requests that have come
// whole. A slow or silent client therefore costs a socket and a buffer, and
// is cut off when its request is not in by the deadline.

#include "http_limits.h"

#include <memory>
#include <string>

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
    HttpServer(Endpoint& endpoint, Log& log, const TlsFiles& tls = {}, HttpLimits limits = {});
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    // Binds host:port (port 0 picks a free one) and listens; returns the
    // port, or -1 with error() saying why (an address in use is refused).
    int bind(const std::string& host, int port);
    // Serves until stop(); call from the thread that should serve.
    bool serve();
    // Safe from any thread at any time, also before serve() has started;
    // returns once serving has ended.
    void stop();
    // False when the TLS certificate or key cannot be used; error() says why.
    bool valid() const;
    const std::string& error() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace orvane::server
