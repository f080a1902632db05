#include "match_and_load_submission.h"

#include "job_kinds.h"
#include "job_rights.h"
#include "recordsets/record_set_catalogue.h"
#include "store/database.h"
#include "wire_statuses.h"

namespace orvane::server {

namespace {

namespace st = job_status;

// Rule types of the configurations each authority-load job runs.
constexpr std::int32_t LoadMatchRules = 3;
constexpr std::int32_t LoadMergeRules = 4;
constexpr std::int32_t ReconcileRules = 6;
constexpr std::int32_t Authority = 3;

bool blank(const std::string& text) {
    return text.find_first_not_of(" \t") == std::string::npos;
}

// A group of the rule type; fills the row's group.
std::int32_t checkGroup(Database& db, const SubmittedJob& s, std::int32_t ruleType, JobRow& job) {
    if (!s.group)
        return st::Missing;
    auto q = db.prepare("SELECT rule_type FROM rule_sets WHERE id = ?1");
    q.bind(1, *s.group);
    if (!q.step())
        return st::Missing;
    if (q.int32(0) != ruleType)
        return st::Invalid;
    job.ruleSetId = s.group;
    return st::Ok;
}

// A record set of the record type; its id.
std::int32_t checkSet(Database& db, std::int32_t id, std::int32_t recordType) {
    const auto set = RecordSetCatalogue(db).find(id);
    if (!set)
        return st::Missing;
    return set->recordType == recordType ? st::Ok : st::Invalid;
}

// The authority-load match job whose files the job reads.
std::int32_t checkSourceJob(Database& db, const SubmittedJob& s, JobRow& job) {
    if (!s.sourceJob)
        return st::Missing;
    const auto source = JobStore(db).find(*s.sourceJob);
    if (!source)
        return st::Missing;
    if (source->type != jobs::type::AuthLoadMatch)
        return st::Invalid;
    job.sourceJobId = s.sourceJob;
    return st::Ok;
}

// Matches fill a set of their record type, an existing one or a new one the
// client makes; the set's name is checked with the job's name.
std::int32_t checkMatch(Database& db, const SubmittedJob& s, JobRow& job) {
    if (s.recordType != 1 && s.recordType != Authority)
        return st::Invalid;
    if (s.saveSet) {
        if (const auto refused = checkSet(db, *s.saveSet, s.recordType))
            return refused;
        job.saveRecordSetId = s.saveSet;
        return st::Ok;
    }
    const std::string name = s.newSetName.value_or("");
    if (blank(name))
        return st::Invalid;
    job.newRecordSetName = name;
    return st::Ok;
}

} // namespace

std::int32_t checkMatchOrLoadSubmission(Database& db, const SubmittedJob& s, JobRow& job) {
    job.recordType = s.recordType;
    if (s.type == jobs::type::Match)
        return checkMatch(db, s, job);
    if (s.recordType != Authority)
        return st::Invalid;
    switch (s.type) {
    case jobs::type::AuthLoadMatch:
        job.add035 = s.add035;
        job.status = jobs::status::Paused;
        return checkGroup(db, s, LoadMatchRules, job);
    case jobs::type::AuthLoadMerge:
        if (const auto refused = checkSourceJob(db, s, job))
            return refused;
        return checkGroup(db, s, LoadMergeRules, job);
    case jobs::type::AuthLoadReconcile:
        if (!s.recordSet)
            return st::Missing;
        if (const auto refused = checkSet(db, *s.recordSet, Authority))
            return refused;
        job.recordSetId = s.recordSet;
        // Reconciling always saves its changes, and indexes them at once:
        // the job row says so as the run does.
        job.updateDatabase = true;
        job.keywordIndex = true;
        return checkGroup(db, s, ReconcileRules, job);
    case jobs::type::AuthDbLoad:
        return checkSourceJob(db, s, job);
    default:
        return st::Invalid;
    }
}

std::string_view submissionRight(const SubmittedJob& s, std::int32_t recordType) {
    if (s.type != jobs::type::Match || s.saveSet)
        return jobs::submitRight(s.type, recordType);
    switch (recordType) {
    case 1:
        return "RSBA";
    case 2:
        return "RSMA";
    case 3:
        return "RSAA";
    default:
        return {};
    }
}

} // namespace orvane::server
