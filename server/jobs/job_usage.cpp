#include "job_usage.h"

#include "store/database.h"

#include <charconv>

namespace orvane::server {

namespace {

// Pending 0, Running 1, Kill 3 (asked, not yet carried out), Paused 6.
constexpr std::string_view Unfinished = "status IN (0, 1, 3, 6)";

std::vector<std::string> names(Statement& st) {
    std::vector<std::string> result;
    while (st.step())
        result.push_back(st.text(0));
    return result;
}

// The group id a merge configuration's parameter names, read as the merge
// job reads it.
bool namesGroup(const std::string& value, std::int64_t ruleSetId) {
    std::int32_t id = 0;
    return std::from_chars(value.data(), value.data() + value.size(), id).ec == std::errc() &&
           id == ruleSetId;
}

} // namespace

std::vector<std::string> unfinishedJobsUsingRuleSet(Database& db, std::int64_t ruleSetId) {
    // A merge job also runs the choose-best companion its merge configuration
    // (type 4) names, so the companion is in use whenever the configuration is.
    auto st = db.prepare(
        "SELECT j.id, j.name, j.rule_set_id, p.value FROM jobs j "
        "LEFT JOIN rule_sets s ON s.id = j.rule_set_id AND s.rule_type = 4 "
        "LEFT JOIN rule_set_parameters p ON p.rule_set = s.id "
        "AND p.name = 'LOAD_CHOOSE_BEST_RULE_SET_ID' "
        "WHERE j." + std::string(Unfinished) + " ORDER BY j.id, p.position");
    std::vector<std::string> result;
    std::int64_t lastJob = -1;
    while (st.step()) {
        const std::int64_t job = st.int64(0);
        if (job == lastJob)
            continue;
        const bool runsIt = !st.isNull(2) && st.int64(2) == ruleSetId;
        if (runsIt || (!st.isNull(3) && namesGroup(st.text(3), ruleSetId))) {
            result.push_back(st.text(1));
            lastJob = job;
        }
    }
    return result;
}

std::vector<std::string> unfinishedJobsUsingRecordSet(Database& db, std::int64_t recordSetId) {
    auto st = db.prepare("SELECT name FROM jobs WHERE (record_set_id = ?1 OR save_record_set_id = ?1) AND " +
                         std::string(Unfinished) + " ORDER BY id");
    st.bind(1, recordSetId);
    return names(st);
}

} // namespace orvane::server
