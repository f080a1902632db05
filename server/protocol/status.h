#pragma once
// Status codes the server itself gives, whatever the request. Each request
// gives its other codes their own meaning.

#include <cstdint>

namespace orvane::wire::status {

inline constexpr std::int32_t Ok = 0;
inline constexpr std::int32_t InUse = 2;
inline constexpr std::int32_t NameTaken = 4;
inline constexpr std::int32_t NotAuthorized = 6;
inline constexpr std::int32_t NotFound = 7;
inline constexpr std::int32_t InvalidValue = 8;
inline constexpr std::int32_t UnknownRequest = 90;
inline constexpr std::int32_t ServerError = 99;

// Statuses a client transport gives when no answer came from the server.
inline constexpr std::int32_t Unreachable = 9001;
inline constexpr std::int32_t NotLoggedIn = 9002;
inline constexpr std::int32_t Rejected = 9003;
inline constexpr std::int32_t BadAnswer = 9004;

} // namespace orvane::wire::status
