#include "job_rights.h"

#include "job_kinds.h"

#include <array>

namespace orvane::server::jobs {

namespace {

// By record type 1 to 3; empty for anything else.
std::string_view byRecordType(std::int32_t recordType, std::string_view b, std::string_view m,
                              std::string_view a) {
    switch (recordType) {
    case 1:
        return b;
    case 2:
        return m;
    case 3:
        return a;
    default:
        return {};
    }
}

bool authorityLoad(std::int32_t jobType) {
    return jobType >= type::AuthLoadMatch && jobType <= type::AuthDbLoad;
}

} // namespace

std::string_view submitRight(std::int32_t jobType, std::int32_t recordType) {
    switch (jobType) {
    case type::Scan:
        return byRecordType(recordType, "SJB", "SJM", "SJA");
    case type::DataChange:
        return byRecordType(recordType, "DCB", "DCM", "DCA");
    case type::IndexRecords:
        return recordType == 1 ? "IJB" : "";
    case type::Match:
        // A match fills a record set.
        return byRecordType(recordType, "RSBU", "RSMU", "RSAU");
    default:
        return authorityLoad(jobType) ? "ALA" : "";
    }
}

std::string_view viewOutputRight(std::int32_t jobType, std::int32_t recordType) {
    return authorityLoad(jobType) ? "JHAL" : byRecordType(recordType, "JHB", "JHM", "JHA");
}

std::string_view deleteLogRight(std::int32_t jobType, std::int32_t recordType) {
    return authorityLoad(jobType) ? "RLAL" : byRecordType(recordType, "RLB", "RLM", "RLA");
}

std::string_view deleteResultsRight(std::int32_t jobType, std::int32_t recordType) {
    if (jobType == type::AuthLoadMatch || jobType == type::AuthLoadMerge)
        return "RRAL";
    return byRecordType(recordType, "RRB", "RRM", "RRA");
}

std::string_view killRight(std::int32_t jobType) {
    switch (jobType) {
    case type::Scan:
        return "KSJ";
    case type::DataChange:
        return "KDJ";
    case type::IndexRecords:
        return "KIJ";
    default:
        return authorityLoad(jobType) ? "KALJ" : "";
    }
}

std::span<const std::string_view> jobRightCodes() {
    static constexpr std::array<std::string_view, 24> codes = {
        "SJB", "SJM",  "SJA", "DCB", "DCM", "DCA",  "IJB", "ALA", "JHB", "JHM", "JHA", "JHAL",
        "RLB", "RLM",  "RLA", "RLAL", "RRB", "RRM", "RRA", "RRAL", "KSJ", "KDJ", "KIJ", "KALJ"};
    return codes;
}

} // namespace orvane::server::jobs
