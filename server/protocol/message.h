#pragma once
// The request and answer of the wire protocol: a code or status and an
// ordered list of keyed fields. Shared by the server and the client library.

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace orvane::wire {

// The JSON type of a value is its field kind: text, 32-bit integer, boolean.
using Value = std::variant<std::string, std::int32_t, bool>;

enum class Kind { Text, Number, Bool };

inline Kind kindOf(const Value& v) { return static_cast<Kind>(v.index()); }
const char* kindName(Kind kind);

struct Field {
    std::string key;
    Value value;
    bool operator==(const Field&) const = default;
};

using Fields = std::vector<Field>;

struct Request {
    std::string code;
    Fields fields;
    bool operator==(const Request&) const = default;
};

struct Answer {
    std::int32_t status = 0;
    Fields fields;
    bool operator==(const Answer&) const = default;

    void add(std::string key, Value value) { fields.push_back({std::move(key), std::move(value)}); }
};

// First field with this key, or null.
const Field* findField(const Fields& fields, std::string_view key);

} // namespace orvane::wire
