#include "auth_source.h"

#include "job_execution.h"
#include "job_kinds.h"

#include "marc/reader.h"
#include "marc/record_view.h"

#include <fstream>
#include <sstream>

namespace orvane::server {

std::optional<AuthSource> authSource(Database& db, const std::string& databasePath,
                                     const JobRow& job, std::ostream& log) {
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
    log << "Reading the match job \"" << source->name << "\" (" << source->id << ")\n";
    const JobFiles files(databasePath, source->id);
    if (const auto kept = JobFiles::read(files.matchSettings())) {
        std::istringstream lines(*kept);
        for (std::string line; std::getline(lines, line);) {
            const auto equals = line.find('=');
            const std::string name = line.substr(0, equals);
            const std::string value = equals == std::string::npos ? "" : line.substr(equals + 1);
            if (name == "MATCH_PROFILE_CODE")
                found.profile = value;
            else if (name == "MULTIMATCH_TAG")
                found.matchTag = value;
        }
        return found;
    }
    // A match job run before its settings were kept: its configuration as it is now.
    if (found.matchConfiguration) {
        found.matchTag = matchIdTag(found.matchConfiguration->source);
        for (const auto& [name, value] : found.matchConfiguration->source.parameters)
            if (name == "MATCH_PROFILE_CODE")
                found.profile = value;
    }
    log << "The match job kept no settings: its configuration as it is now is read.\n";
    return found;
}

void writeMatchSettings(const JobFiles& files, const std::string& profile,
                        const std::string& matchTag) {
    std::ofstream out(files.matchSettings(), std::ios::binary | std::ios::trunc);
    out << "MATCH_PROFILE_CODE=" << profile << "\nMULTIMATCH_TAG=" << matchTag << "\n";
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
