#pragma once
// Requests to a networked server over HTTP or HTTPS:
// POST <url>/orvane/v1/request with the session token as a bearer token.

#include "transport.h"

#include <QString>
#include <chrono>
#include <memory>

namespace orvane {

struct HttpTimeouts {
    std::chrono::milliseconds connect{5000};
    std::chrono::milliseconds read{120000}; // some requests run a while on the server
    std::chrono::milliseconds write{60000};
};

class HttpTransport final : public Transport {
public:
    // url: "http://host[:port][/prefix]" or "https://...". Anything else
    // makes every exchange answer Unreachable.
    explicit HttpTransport(const QString& url, HttpTimeouts timeouts = {});
    ~HttpTransport() override;
    HttpTransport(const HttpTransport&) = delete;
    HttpTransport& operator=(const HttpTransport&) = delete;

    TransportResult exchange(const wire::Request& request, const std::string& token) override;

private:
    struct Client;
    std::unique_ptr<Client> client_;
};

} // namespace orvane
