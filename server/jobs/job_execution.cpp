#include "job_execution.h"

#include "job_kinds.h"
#include "store/database.h"

#include <charconv>

namespace orvane::server {

namespace {

std::optional<std::int64_t> idNumber(const std::string& text) {
    std::int64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [at, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || at != end)
        return std::nullopt;
    return value;
}

} // namespace

JobExecution::JobExecution(Database& db, const std::string& databasePath, JobRow job,
                           const std::atomic<bool>& serverStopping)
    : db_(db), databasePath_(databasePath), job_(std::move(job)), files_(databasePath, job_.id),
      serverStopping_(serverStopping) {}

bool JobExecution::bulkDone() {
    ++counters_.bulk;
    JobStore store(db_);
    store.saveCounters(job_.id, counters_);
    killed_ = store.status(job_.id) == jobs::status::Kill;
    return killed_ || serverStopping_.load();
}

JobEnd JobExecution::stopped() const {
    if (killed_)
        return {jobs::status::Killed, "killed by an operator"};
    return {jobs::status::Failed, "the server stopped while the job ran"};
}

std::vector<std::int32_t> jobRecordIds(Database& db, const JobRow& job, std::string& error) {
    std::vector<std::int32_t> ids;
    if (job.recordSetId) {
        auto set = db.prepare("SELECT record_type FROM record_sets WHERE id = ?1");
        set.bind(1, *job.recordSetId);
        if (!set.step()) {
            error = "the record set " + std::to_string(*job.recordSetId) + " no longer exists";
            return ids;
        }
        auto st = db.prepare(
            "SELECT record_id FROM record_set_members WHERE record_set = ?1 ORDER BY ordinal");
        st.bind(1, *job.recordSetId);
        while (st.step())
            ids.push_back(st.int32(0));
        return ids;
    }
    auto st = db.prepare("SELECT record_id FROM catalogue_records WHERE record_type = ?1 AND "
                         "record_id BETWEEN ?2 AND ?3 ORDER BY record_id");
    const auto low = idNumber(job.rangeStart);
    const auto high = idNumber(job.rangeEnd);
    st.bind(1, job.recordType).bind(2, low.value_or(1)).bind(3, high.value_or(2147483647));
    while (st.step())
        ids.push_back(st.int32(0));
    return ids;
}

} // namespace orvane::server
