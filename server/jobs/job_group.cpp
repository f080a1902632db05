#include "job_group.h"

#include "job_store.h"

namespace orvane::server {

std::shared_ptr<const CompiledGroup> jobGroup(Database& db, const JobRow& job, std::ostream& log) {
    auto compiled = job.ruleSetId ? compiledGroups().get(db, *job.ruleSetId) : nullptr;
    if (!compiled) {
        log << "The rule set group of the job no longer exists.\n";
        return nullptr;
    }
    if (!compiled->group) {
        log << "Rule failed to compile.\n";
        for (const std::string& e : compiled->errors)
            log << "  " << e << "\n";
        return nullptr;
    }
    log << "Rule set group: " << compiled->source.name << "\n";
    return compiled;
}

} // namespace orvane::server
