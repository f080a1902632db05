#include "auth_source.h"

#include "job_execution.h"
#include "job_kinds.h"

#include "marc/reader.h"
#include "marc/record_view.h"

namespace orvane::server {

std::optional<AuthSource> authSource(Database& db, const JobRow& job, std::ostream& log) {
    const auto source = job.sourceJobId ? JobStore(db).find(*job.sourceJobId) : std::nullopt;
    if (!source || source->type != jobs::type::AuthLoadMatch) {
        log << "The auth load match job this job reads no longer exists.\n";
        return std::nullopt;
    }
    if (source->status != jobs::status::Done) {
        log << "The auth load match job \"" << source->name << "\" has not finished.\n";
        return std::nullopt;
    }
    AuthSource found{*source, nullptr, "035", {}};
    if (source->ruleSetId)
        found.matchConfiguration = compiledGroups().get(db, *source->ruleSetId);
    if (found.matchConfiguration) {
        found.matchTag = matchIdTag(found.matchConfiguration->source);
        for (const auto& [name, value] : found.matchConfiguration->source.parameters)
            if (name == "MATCH_PROFILE_CODE")
                found.profile = value;
    }
    log << "Reading the match job \"" << source->name << "\" (" << source->id << ")\n";
    return found;
}

std::vector<std::string> resultRecords(const std::string& databasePath, std::int32_t jobId,
                                       std::int32_t fileType) {
    std::vector<std::string> records;
    const auto bytes = JobFiles::read(JobFiles(databasePath, jobId).resultFile(fileType));
    if (!bytes)
        return records;
    marc::Reader reader{std::string_view(*bytes)};
    while (const auto record = reader.next())
        records.emplace_back(record->bytes());
    return records;
}

} // namespace orvane::server
