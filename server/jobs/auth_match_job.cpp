// Auth load match jobs: every record uploaded into the job is matched with
// the catalogue's authority records and sorted into the Match, No match,
// Multi match and Reject files, which the merge and database load read.
#include "auth_source.h"
#include "authload/authority_matcher.h"
#include "job_execution.h"
#include "job_group.h"
#include "job_kinds.h"
#include "job_records.h"
#include "result_writer.h"

#include "marc/record_view.h"

#include <array>
#include <fstream>

namespace orvane::server {

namespace {

std::string parameter(const GroupSource& source, std::string_view name) {
    for (const auto& [key, value] : source.parameters)
        if (key == name)
            return value;
    return {};
}

std::string idList(const std::vector<std::int32_t>& ids) {
    std::string text;
    for (const std::int32_t id : ids)
        text += (text.empty() ? "" : ", ") + std::to_string(id);
    return text;
}

} // namespace

std::string matchIdTag(const GroupSource& matchConfiguration) {
    const std::string tag = parameter(matchConfiguration, "MULTIMATCH_TAG");
    return tag.size() == 3 ? tag : std::string("035");
}

JobEnd runAuthMatchJob(JobExecution& run) {
    const JobRow& job = run.job();
    Database& db = run.db();
    std::filesystem::create_directories(run.files().folder());
    std::ofstream log(run.files().log(), std::ios::binary | std::ios::trunc);
    log << "Auth load match job \"" << job.name << "\" (" << job.id << ") by " << job.operatorId
        << "\n";
    const auto group = jobGroup(db, job, log);
    if (!group)
        return {jobs::status::Failed, "the job cannot run"};
    const std::string profile = parameter(group->source, "MATCH_PROFILE_CODE");
    if (authload::AuthorityMatcher::indexCode(profile).empty()) {
        log << "The duplicate-detection profile \"" << profile
            << "\" does not fit authority records.\n";
        return {jobs::status::Failed, "no authority profile"};
    }
    log << "Profile: " << profile << ", match id tag: " << matchIdTag(group->source) << "\n";
    writeMatchSettings(run.files(), profile, matchIdTag(group->source));
    authload::AuthorityMatcher matcher(db, profile, matchIdTag(group->source),
                                       group->group.get());
    ResultWriter results(run.files());
    JobCounters& counters = run.counters();
    const std::vector<std::string> uploaded = JobRecords(db).all(job.id);
    counters.toProcess = static_cast<std::int32_t>(uploaded.size());
    std::array<std::size_t, 4> counts{};
    bool stopped = false;
    std::size_t number = 0;
    for (const std::string& octets : uploaded) {
        ++number;
        const marc::ParseResult parsed = marc::parseRecord(octets);
        log << "record " << number;
        if (!parsed.record) {
            ++counters.errors;
            ++counts[3];
            results.write(jobs::result_file::Reject, octets);
            log << ": rejected, not a well-formed record\n";
        } else {
            const auto control = parsed.record->findField("001");
            log << " (001 " << (control ? control->value() : std::string_view()) << ")";
            const authload::MatchResult m = matcher.match(*parsed.record);
            log << " key \"" << m.key << "\": ";
            switch (m.kind) {
            case authload::MatchKind::Match:
                results.write(jobs::result_file::Match, m.record);
                log << "match " << idList(m.ids);
                break;
            case authload::MatchKind::MultiMatch:
                results.write(jobs::result_file::MultiMatch, m.record);
                log << "multiple matches " << idList(m.ids);
                break;
            case authload::MatchKind::NoMatch:
                results.write(jobs::result_file::NoMatch, m.record);
                log << "no match";
                break;
            case authload::MatchKind::Reject:
                ++counters.errors;
                results.write(jobs::result_file::Reject, m.record);
                log << "rejected, " << m.reason;
                break;
            }
            ++counts[static_cast<std::size_t>(m.kind)];
            log << (m.deletion ? " (deletion notice)\n" : "\n");
        }
        ++counters.processed;
        if (counters.processed % static_cast<std::int32_t>(JobExecution::BulkSize) == 0 &&
            run.bulkDone() && counters.processed < counters.toProcess) {
            stopped = true;
            break;
        }
    }
    if (stopped) {
        const JobEnd end = run.stopped();
        log << "Stopped: " << end.reason << ", after " << counters.processed << " records\n";
        return end;
    }
    run.bulkDone();
    log << "\nRecords: " << counters.processed << "\nMatch: " << counts[0]
        << "\nNo match: " << counts[1] << "\nMulti match: " << counts[2]
        << "\nReject: " << counts[3] << "\n";
    return {jobs::status::Done, {}};
}

} // namespace orvane::server
