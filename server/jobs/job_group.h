#pragma once
// The compiled rule set group a scan or data change job runs, with the
// reason written to the log when there is none to run.

#include "rulerun/compiled_group_cache.h"

#include <memory>
#include <ostream>

namespace orvane::server {

class Database;
struct JobRow;

// Null, with the log told why, when the group is gone or does not compile.
std::shared_ptr<const CompiledGroup> jobGroup(Database& db, const JobRow& job, std::ostream& log);

} // namespace orvane::server
