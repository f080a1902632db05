#pragma once
// The rights each job request checks, by job type and the job's record type
// (1 bibliographic, 2 holdings, 3 authority); empty where no right allows it.

#include <cstdint>
#include <span>
#include <string_view>

namespace orvane::server::jobs {

std::string_view submitRight(std::int32_t jobType, std::int32_t recordType);
std::string_view viewOutputRight(std::int32_t jobType, std::int32_t recordType);
std::string_view deleteLogRight(std::int32_t jobType, std::int32_t recordType);
std::string_view deleteResultsRight(std::int32_t jobType, std::int32_t recordType);
std::string_view killRight(std::int32_t jobType);
// Every right that concerns jobs: an operator with none may not list them.
std::span<const std::string_view> jobRightCodes();

} // namespace orvane::server::jobs
