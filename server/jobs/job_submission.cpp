#include "job_submission.h"

#include "job_kinds.h"
#include "match_and_load_submission.h"
#include "recordsets/record_set_catalogue.h"
#include "rulerun/catalogue_facts.h"
#include "store/database.h"
#include "wire_statuses.h"

#include <charconv>

namespace orvane::server {

namespace {

namespace st = job_status;

std::optional<std::int64_t> recordId(const std::string& text) {
    std::int64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [at, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || at != end || value < 1 || value > 2147483647)
        return std::nullopt;
    return value;
}

std::optional<std::int32_t> groupRuleType(Database& db, std::int32_t id) {
    auto q = db.prepare("SELECT rule_type FROM rule_sets WHERE id = ?1");
    q.bind(1, id);
    if (!q.step())
        return std::nullopt;
    return q.int32(0);
}

bool blank(const std::string& text) {
    return text.find_first_not_of(" \t") == std::string::npos;
}

// The input of scan and index jobs: a set of the job's record type, a range,
// or (for a scan) neither. Fills the row; a status when refused.
std::int32_t checkInput(Database& db, const SubmittedJob& s, JobRow& job, bool required) {
    if (s.recordSet) {
        const auto set = RecordSetCatalogue(db).find(*s.recordSet);
        if (!set)
            return st::Missing;
        if (set->recordType != s.recordType)
            return st::Invalid;
        job.recordSetId = *s.recordSet;
        if (s.type == jobs::type::IndexRecords && set->recordCount > MaxIndexJobRecords)
            return st::Invalid;
        return st::Ok;
    }
    if (s.rangeStart || s.rangeEnd) {
        const auto low = recordId(s.rangeStart.value_or(""));
        const auto high = recordId(s.rangeEnd.value_or(""));
        if (!low || !high || *low > *high)
            return st::Invalid;
        if (s.type == jobs::type::IndexRecords && *high - *low + 1 > MaxIndexJobRecords)
            return st::Invalid;
        job.rangeStart = *s.rangeStart;
        job.rangeEnd = *s.rangeEnd;
        return st::Ok;
    }
    return required ? st::Invalid : st::Ok;
}

SubmissionCheck refuse(std::int32_t status, std::int32_t bc = 0) {
    SubmissionCheck c;
    c.status = status;
    c.bc = bc;
    return c;
}

} // namespace

std::optional<std::int32_t> submittedRecordType(Database& db, const SubmittedJob& s) {
    if (s.type != jobs::type::DataChange)
        return s.recordType;
    if (!s.recordSet)
        return std::nullopt;
    const auto set = RecordSetCatalogue(db).find(*s.recordSet);
    if (!set)
        return std::nullopt;
    return set->recordType;
}

SubmissionCheck checkSubmission(Database& db, const SubmittedJob& s, const std::string& now) {
    if (blank(s.name) || s.type < jobs::type::Scan || s.type > jobs::type::AuthDbLoad)
        return refuse(st::Invalid);
    if (s.start && !isJobTime(*s.start))
        return refuse(st::Invalid);
    if (s.start && *s.start <= now)
        return refuse(st::StartNotLater);
    SubmissionCheck c;
    JobRow& job = c.job;
    job.name = s.name;
    job.type = s.type;
    // A job to run now is scheduled for the moment it was submitted.
    job.scheduledStart = s.start.value_or(now);
    job.operatorId = s.operatorId;

    if (s.type >= jobs::type::Match) {
        if (const auto refused = checkMatchOrLoadSubmission(db, s, job))
            return refuse(refused);
    } else if (s.type == jobs::type::DataChange) {
        const auto recordType = submittedRecordType(db, s);
        if (!recordType)
            return refuse(st::Missing);
        job.recordType = *recordType;
        job.recordSetId = s.recordSet;
        job.updateDatabase = s.update;
        job.keywordIndex = s.update && s.keywordIndex;
        job.libraryParam = s.libraryId;
        job.locationParam = s.locationId;
        job.fieldOrder = s.fieldOrder;
        if (!s.fieldOrder.empty() && !fieldOrderPatterns(db, s.fieldOrder))
            return refuse(st::Missing);
    } else {
        if (s.recordType < 1 || s.recordType > 3 ||
            (s.type == jobs::type::IndexRecords && s.recordType != 1))
            return refuse(st::Invalid);
        job.recordType = s.recordType;
        if (const auto input = checkInput(db, s, job, s.type == jobs::type::IndexRecords))
            return refuse(input);
    }

    if (s.type == jobs::type::Scan || s.type == jobs::type::DataChange) {
        const std::int32_t wanted = s.type == jobs::type::Scan ? 1 : 2;
        const auto ruleType = s.group ? groupRuleType(db, *s.group) : std::nullopt;
        if (!ruleType)
            return refuse(st::Missing);
        if (*ruleType != wanted)
            return refuse(st::Invalid);
        job.ruleSetId = s.group;
    }
    if (s.type == jobs::type::Scan) {
        if (s.saveSet) {
            const auto set = RecordSetCatalogue(db).find(*s.saveSet);
            if (!set)
                return refuse(st::Missing);
            if (set->recordType != s.recordType)
                return refuse(st::Invalid);
            job.saveRecordSetId = s.saveSet;
        } else {
            const std::string name = s.newSetName.value_or("");
            if (blank(name))
                return refuse(st::Invalid);
            job.newRecordSetName = name;
        }
    }
    if (JobStore(db).nameTaken(s.name))
        return refuse(st::NameTaken, 2);
    if (!job.newRecordSetName.empty()) {
        auto taken = db.prepare("SELECT 1 FROM record_sets WHERE name = ?1 COLLATE NOCASE "
                                "UNION ALL SELECT 1 FROM jobs WHERE status IN (0, 1, 3, 6) AND "
                                "new_record_set_name = ?1 COLLATE NOCASE");
        taken.bind(1, job.newRecordSetName);
        if (taken.step())
            return refuse(st::NameTaken, 1);
    }
    return c;
}

} // namespace orvane::server
