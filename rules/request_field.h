#pragma once
// One field of a server request, built here and sent by whoever holds the
// channel: a key and a text or 32-bit number, in the order added.

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace rules {

struct RequestField {
    std::string key;
    std::variant<std::int32_t, std::string> value;
    bool operator==(const RequestField&) const = default;
};

using RequestFields = std::vector<RequestField>;

} // namespace rules
