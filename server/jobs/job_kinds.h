#pragma once
// Job types, job statuses and result file types as the wire numbers them.

#include <cstdint>
#include <string_view>

namespace orvane::server::jobs {

namespace type {
inline constexpr std::int32_t Scan = 0;
inline constexpr std::int32_t DataChange = 1;
inline constexpr std::int32_t IndexRecords = 2;
inline constexpr std::int32_t Match = 3;
inline constexpr std::int32_t AuthLoadMatch = 4;
inline constexpr std::int32_t AuthLoadMerge = 5;
inline constexpr std::int32_t AuthLoadReconcile = 6;
inline constexpr std::int32_t AuthDbLoad = 7;
} // namespace type

namespace status {
inline constexpr std::int32_t Pending = 0;
inline constexpr std::int32_t Running = 1;
inline constexpr std::int32_t Done = 2;
inline constexpr std::int32_t Kill = 3;
inline constexpr std::int32_t Killed = 4;
inline constexpr std::int32_t Failed = 5;
inline constexpr std::int32_t Paused = 6;
} // namespace status

inline bool isActive(std::int32_t jobStatus) {
    return jobStatus == status::Running || jobStatus == status::Kill ||
           jobStatus == status::Paused;
}

// Result files: the wire's type number, and the file's name in the job's folder.
struct ResultFileKind {
    std::int32_t type;
    std::string_view file;
};
inline constexpr ResultFileKind ResultFileKinds[] = {
    {0, "before.mrc"},    {1, "after.mrc"},      {2, "deleted.mrc"},     {3, "unchanged.mrc"},
    {4, "error.mrc"},     {5, "ids.txt"},        {8, "match.mrc"},       {9, "nomatch.mrc"},
    {10, "multimatch.mrc"}, {12, "discard.mrc"}, {13, "redundant.mrc"},  {14, "reject.mrc"},
};
inline constexpr std::int32_t MarcIdsFile = 5;
namespace result_file {
inline constexpr std::int32_t Before = 0;
inline constexpr std::int32_t After = 1;
inline constexpr std::int32_t Deleted = 2;
inline constexpr std::int32_t Match = 8;
inline constexpr std::int32_t NoMatch = 9;
inline constexpr std::int32_t MultiMatch = 10;
inline constexpr std::int32_t Discard = 12;
inline constexpr std::int32_t Redundant = 13;
inline constexpr std::int32_t Reject = 14;
} // namespace result_file
inline constexpr std::string_view LogFile = "log.txt";

} // namespace orvane::server::jobs
