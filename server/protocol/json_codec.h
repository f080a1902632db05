#pragma once
// JSON form of requests and answers:
//   request {"code": "X", "fields": [["KEY", value], ...]}
//   answer  {"status": 0, "fields": [["KEY", value], ...]}
//   error   {"error": "text"}

#include "message.h"

#include <optional>
#include <string>
#include <string_view>

namespace orvane::wire {

template <typename T> struct Decoded {
    std::optional<T> value;
    std::string error; // set when value is empty
};

// A request holds no more fields than this (the largest the client sends
// hold about a thousand).
inline constexpr std::size_t MaxRequestFields = 100'000;
// A request code is at most this many visible ASCII characters.
inline constexpr std::size_t MaxRequestCodeLength = 64;

std::string encodeRequest(const Request& request);
std::string encodeAnswer(const Answer& answer);
std::string encodeError(std::string_view message);

Decoded<Request> decodeRequest(std::string_view body);
Decoded<Answer> decodeAnswer(std::string_view body);
// The "error" text of an error body, or empty when the body is not one.
std::string decodeError(std::string_view body);

} // namespace orvane::wire
