#include "listen_check.h"

#include <arpa/inet.h>

namespace orvane::server {

namespace {

bool isLoopback(const std::string& host) {
    if (host == "localhost")
        return true;
    in_addr v4{};
    if (::inet_pton(AF_INET, host.c_str(), &v4) == 1)
        return (ntohl(v4.s_addr) >> 24) == 127;
    std::string bare = host;
    if (bare.size() > 2 && bare.front() == '[' && bare.back() == ']')
        bare = bare.substr(1, bare.size() - 2);
    in6_addr v6{};
    return ::inet_pton(AF_INET6, bare.c_str(), &v6) == 1 && IN6_IS_ADDR_LOOPBACK(&v6);
}

} // namespace

std::string clearTextWarning(const std::string& host, bool tls) {
    if (tls || isLoopback(host))
        return {};
    return "warning: listening on " + host +
           " without TLS: passwords and session tokens cross the network unencrypted; give "
           "--tls-cert and --tls-key, or listen on 127.0.0.1 behind a TLS proxy";
}

} // namespace orvane::server
