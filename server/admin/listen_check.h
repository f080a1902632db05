#pragma once
// Whether serving on an address would send passwords in the clear.

#include <string>

namespace orvane::server {

// Empty for a loopback address or with TLS; otherwise the warning to give.
std::string clearTextWarning(const std::string& host, bool tls);

} // namespace orvane::server
