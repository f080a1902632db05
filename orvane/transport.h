#pragma once
// How a request reaches a server and its answer comes back. The channel and
// the session talk to a Transport only; HTTP, the in-process server and the
// tests' scripted server are interchangeable beneath them.

#include "protocol/message.h"

#include <QtGlobal>
#include <string>

namespace orvane {

struct TransportResult {
    // The answer's status, or one of the client statuses of protocol/status.h
    // (Unreachable, NotLoggedIn, Rejected, BadAnswer) when no answer came.
    qint32 status = 0;
    wire::Answer answer; // empty (status 0, no fields) when no answer came
    std::string error;   // why no answer came, for the log and the operator
};

class Transport {
public:
    virtual ~Transport() = default;
    // Sends one request under the session token (empty for LOGIN).
    virtual TransportResult exchange(const wire::Request& request, const std::string& token) = 0;
};

} // namespace orvane
