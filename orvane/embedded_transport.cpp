#include "embedded_transport.h"

#include "core/server_core.h"
#include "protocol/json_codec.h"
#include "reply_decoding.h"

namespace orvane {

EmbeddedTransport::EmbeddedTransport(std::shared_ptr<server::ServerCore> core)
    : core_(std::move(core)) {}

TransportResult EmbeddedTransport::exchange(const wire::Request& request,
                                            const std::string& token) {
    const std::string authorization = token.empty() ? std::string() : "Bearer " + token;
    const server::HttpReply reply =
        core_->endpoint().handle(wire::encodeRequest(request), authorization);
    return decodeReply(reply.status, reply.body);
}

} // namespace orvane
