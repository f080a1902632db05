#pragma once
// The one door to the dispatcher: a JSON body and an Authorization header
// in, an HTTP status and a JSON body out. The HTTP server and the embedded
// transport both come through here, so both get the same answers.

#include <cstddef>
#include <string>
#include <string_view>

namespace orvane::server {

class Dispatcher;

struct HttpReply {
    int status = 200;
    std::string body;
};

class Endpoint {
public:
    static constexpr std::size_t MaxBodyBytes = 32 * 1024 * 1024;
    static constexpr std::string_view Path = "/orvane/v1/request";

    explicit Endpoint(Dispatcher& dispatcher) : dispatcher_(dispatcher) {}

    // `peer` is the client's address, for the log and login throttling.
    HttpReply handle(std::string_view body, std::string_view authorization,
                     std::string_view peer = {});
    // Whether an Authorization header names a live session: the HTTP front
    // asks before it reads a body.
    bool knowsSession(std::string_view authorization);

private:
    Dispatcher& dispatcher_;
};

// The token of "Bearer TOKEN", or empty.
std::string bearerToken(std::string_view authorization);

} // namespace orvane::server
