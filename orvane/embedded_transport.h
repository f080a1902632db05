#pragma once
// Requests to a server in this process: straight into its endpoint, the
// same door the HTTP server uses, so the answers are the same.

#include "transport.h"

#include <memory>

namespace orvane::server {
class ServerCore;
}

namespace orvane {

class EmbeddedTransport final : public Transport {
public:
    explicit EmbeddedTransport(std::shared_ptr<server::ServerCore> core);

    TransportResult exchange(const wire::Request& request, const std::string& token) override;

private:
    std::shared_ptr<server::ServerCore> core_;
};

} // namespace orvane
