#pragma once
// The statuses the job requests answer.

#include <cstdint>

namespace orvane::server::job_status {

inline constexpr std::int32_t Ok = 0;
// A start not later than now; a job still running or no longer pending.
inline constexpr std::int32_t StartNotLater = 2;
inline constexpr std::int32_t Busy = 2;
inline constexpr std::int32_t NameTaken = 4;
inline constexpr std::int32_t Missing = 5;
inline constexpr std::int32_t NotAuthorized = 6;
inline constexpr std::int32_t Invalid = 8;

} // namespace orvane::server::job_status
