#pragma once
// Which jobs still need a rule set or a record set: those waiting in the
// queue (Pending) and those not yet finished (Running, Kill, Paused).

#include <cstdint>
#include <string>
#include <vector>

namespace orvane::server {

class Database;

// Names of the pending or unfinished jobs that run rule set group `ruleSetId`,
// either as their own group or as the choose-best companion of their merge
// configuration.
std::vector<std::string> unfinishedJobsUsingRuleSet(Database& db, std::int64_t ruleSetId);
// Names of the pending or unfinished jobs that read or fill record set `recordSetId`.
std::vector<std::string> unfinishedJobsUsingRecordSet(Database& db, std::int64_t recordSetId);

} // namespace orvane::server
