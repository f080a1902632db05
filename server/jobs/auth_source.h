#pragma once
// What a merge or database load job reads: the match job named by "SJID",
// its configuration, and the records of one of its result files.

#include "job_files.h"
#include "job_store.h"
#include "rulerun/compiled_group_cache.h"

#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace orvane::server {

class Database;

struct AuthSource {
    JobRow job;
    std::shared_ptr<const CompiledGroup> matchConfiguration;
    std::string matchTag;
    std::string profile;
};

// The finished match job a merge or load reads; nothing, with the log told
// why, when there is none. Its profile and match id tag are those it matched
// with, whatever its configuration says now.
std::optional<AuthSource> authSource(Database& db, const std::string& databasePath,
                                     const JobRow& job, std::ostream& log);

// Kept by the match job beside its result files before it matches.
void writeMatchSettings(const JobFiles& files, const std::string& profile,
                        const std::string& matchTag);

class ResultWriter;
struct JobCounters;

// The source job's No match records added to the catalogue as new authority
// records, a bulk per transaction; `bulkDone` after each bulk answers whether
// to stop. Answers how many were added.
std::size_t loadUnmatchedRecords(Database& db, const std::string& operatorId,
                                 const AuthSource& source, const std::string& databasePath,
                                 std::ostream& log, ResultWriter& results, JobCounters& counters,
                                 const std::function<bool()>& bulkDone);

// The records of a result file of the source job, each as its own octets.
std::vector<std::string> resultRecords(const std::string& databasePath, std::int32_t jobId,
                                       std::int32_t fileType);

} // namespace orvane::server
