#include "endpoint.h"

#include "dispatcher.h"
#include "protocol/json_codec.h"

namespace orvane::server {

std::string bearerToken(std::string_view authorization) {
    constexpr std::string_view Prefix = "Bearer ";
    if (authorization.size() <= Prefix.size() || authorization.substr(0, Prefix.size()) != Prefix)
        return {};
    return std::string(authorization.substr(Prefix.size()));
}

bool Endpoint::knowsSession(std::string_view authorization) {
    const std::string token = bearerToken(authorization);
    return !token.empty() && dispatcher_.knowsSession(token);
}

HttpReply Endpoint::handle(std::string_view body, std::string_view authorization,
                           std::string_view peer) {
    if (body.size() > MaxBodyBytes)
        return {400, wire::encodeError("request body is larger than the server accepts")};
    auto decoded = wire::decodeRequest(body);
    if (!decoded.value)
        return {400, wire::encodeError(decoded.error)};
    Outcome outcome = dispatcher_.dispatch(*decoded.value, bearerToken(authorization), peer);
    if (outcome.httpStatus != 200)
        return {outcome.httpStatus, wire::encodeError(outcome.error)};
    return {200, wire::encodeAnswer(outcome.answer)};
}

} // namespace orvane::server
