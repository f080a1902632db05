#include "job_progress.h"

#include "job_kinds.h"
#include "recordsets/record_set_catalogue.h"
#include "store/database.h"
#include "wire_statuses.h"

namespace orvane::server {

namespace {

namespace st = job_status;
namespace js = jobs::status;

bool ends(std::int32_t status) {
    return status == js::Done || status == js::Killed || status == js::Failed;
}

// The status the job takes, or none when the change is not the client's to make.
std::optional<std::int32_t> nextStatus(const JobRow& job, std::int32_t reported) {
    if (job.status == js::Pending && reported == js::Failed)
        return reported;
    if (job.type == jobs::type::Match) {
        if (job.status == js::Pending && reported == js::Running)
            return reported;
        if (job.status == js::Running && (reported == js::Running || ends(reported)))
            return reported;
        return std::nullopt;
    }
    if (job.type != jobs::type::AuthLoadMatch)
        return std::nullopt;
    const bool uploadOutcome = reported == js::Paused || reported == js::Pending ||
                               reported == js::Killed || reported == js::Failed;
    if (!uploadOutcome)
        return std::nullopt;
    if (job.status == js::Kill)
        return js::Killed;
    if (job.status == js::Paused)
        return reported;
    return std::nullopt;
}

void saveCounters(Database& db, std::int32_t id, const ProgressReport& r) {
    auto st = db.prepare("UPDATE jobs SET error_count = coalesce(?2, error_count), "
                         "records_processed = coalesce(?3, records_processed), "
                         "records_to_process = coalesce(?4, records_to_process) WHERE id = ?1");
    st.bind(1, id).bind(2, r.errors).bind(3, r.processed).bind(4, r.toProcess).run();
}

std::int32_t saveSet(Database& db, const JobRow& job, std::int32_t setId) {
    if (job.type != jobs::type::Match)
        return st::Invalid;
    const auto set = RecordSetCatalogue(db).find(setId);
    if (!set)
        return st::Missing;
    if (set->recordType != job.recordType)
        return st::Invalid;
    // The new set the job was submitted with now exists: the job names it by id.
    auto st = db.prepare(
        "UPDATE jobs SET save_record_set_id = ?2, new_record_set_name = '' WHERE id = ?1");
    st.bind(1, job.id).bind(2, setId).run();
    return st::Ok;
}

} // namespace

std::int32_t applyProgress(Database& db, const JobRow& job, const ProgressReport& report) {
    const auto status = nextStatus(job, report.status);
    if (!status)
        return st::Busy;
    if (report.saveSet)
        if (const auto refused = saveSet(db, job, *report.saveSet))
            return refused;
    saveCounters(db, job.id, report);
    JobStore store(db);
    if (ends(*status)) {
        store.finish(job.id, *status);
    } else if (job.status == js::Pending && *status == js::Running) {
        const std::string now = jobTimeNow();
        auto st = db.prepare(
            "UPDATE jobs SET status = ?2, actual_start = ?3, modified_at = ?3 WHERE id = ?1");
        st.bind(1, job.id).bind(2, *status).bind(3, now).run();
    } else {
        store.setStatus(job.id, *status);
    }
    return st::Ok;
}

} // namespace orvane::server
