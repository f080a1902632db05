#pragma once
// What the HTTP front allows each connection and how many it serves at once.
// Deadlines cover a whole request head and body, however slowly the bytes
// come, so a slow client holds a socket and a buffer but never a worker.

#include <chrono>
#include <cstddef>

namespace orvane::server {

struct HttpLimits {
    // Threads that run requests; the store opens one connection per thread.
    int workers = 16;
    // Connections the kernel queues before they are accepted.
    int backlog = 511;
    // Connections open at once; more are accepted and closed at once.
    std::size_t maxConnections = 1000;
    // From the first byte of a request (or the connection's start) to its
    // last, TLS handshake included.
    std::chrono::milliseconds requestTimeout{10'000};
    // How long a kept-alive connection may wait for its next request.
    std::chrono::milliseconds idleTimeout{60'000};
    // How long writing an answer may make no progress.
    std::chrono::milliseconds writeTimeout{30'000};
    std::size_t maxHeadBytes = 16 * 1024;
    std::size_t maxHeaders = 100;
    // A body with a session token; larger ones are refused as they arrive.
    std::size_t maxBodyBytes = 32 * 1024 * 1024;
    // A body without a token can only be a LOGIN.
    std::size_t maxAnonymousBodyBytes = 64 * 1024;
};

} // namespace orvane::server
