#include "job_usage.h"

#include "store/database.h"

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

} // namespace

std::vector<std::string> unfinishedJobsUsingRuleSet(Database& db, std::int64_t ruleSetId) {
    auto st = db.prepare("SELECT name FROM jobs WHERE rule_set_id = ?1 AND " +
                         std::string(Unfinished) + " ORDER BY id");
    st.bind(1, ruleSetId);
    return names(st);
}

std::vector<std::string> unfinishedJobsUsingRecordSet(Database& db, std::int64_t recordSetId) {
    auto st = db.prepare("SELECT name FROM jobs WHERE (record_set_id = ?1 OR save_record_set_id = ?1) AND " +
                         std::string(Unfinished) + " ORDER BY id");
    st.bind(1, recordSetId);
    return names(st);
}

} // namespace orvane::server
