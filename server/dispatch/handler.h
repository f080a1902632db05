#pragma once
// A request handler: the code it answers, the right it needs, the fields
// it reads (checked for kind before it runs) and what it does.

#include "protocol/message.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace orvane::server {

class RequestContext;

struct FieldRule {
    std::string key;
    wire::Kind kind;
    bool required = false;
    // For text: the most octets each occurrence may hold (text_limits.h);
    // 0 leaves only the body's limit.
    std::size_t maxOctets = 0;
};

struct Handler {
    std::string code;
    // Right code the operator must hold; empty when any logged-in operator may ask.
    std::string right;
    std::vector<FieldRule> fields;
    std::function<void(RequestContext&)> run;
    // Only LOGIN is answered without a session.
    bool needsSession = true;
};

} // namespace orvane::server
