#pragma once
// Turns the endpoint's HTTP status and JSON body into a transport result.
// HttpTransport and EmbeddedTransport both come through here, so a server
// reply reads the same whichever way it travelled.

#include "transport.h"

#include <string_view>

namespace orvane {

// 200 with an answer body: the answer and its status. 401: NotLoggedIn.
// Other 4xx: Rejected. Anything else, or a body that is not an answer:
// BadAnswer. The error text is the server's own when it sent one.
TransportResult decodeReply(int httpStatus, std::string_view body);

// A result for a request that never got a reply.
TransportResult transportFailure(qint32 status, std::string error);

} // namespace orvane
