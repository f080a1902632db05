// Index records jobs: every record of the set or range gets its index
// entries written anew, a bulk per transaction, and loses the mark of a
// record whose word index waited.
#include "job_execution.h"
#include "job_kinds.h"

#include "catalogue/index_writer.h"
#include "store/database.h"

#include "marc/record_view.h"

#include <fstream>

namespace orvane::server {

JobEnd runIndexJob(JobExecution& run) {
    const JobRow& job = run.job();
    Database& db = run.db();
    std::filesystem::create_directories(run.files().folder());
    std::ofstream log(run.files().log(), std::ios::binary | std::ios::trunc);
    log << "Index records job \"" << job.name << "\" (" << job.id << ") by " << job.operatorId
        << "\n";
    std::string error;
    const std::vector<std::int32_t> ids = jobRecordIds(db, job, error);
    if (!error.empty()) {
        log << error << "\n";
        return {jobs::status::Failed, error};
    }
    JobCounters& counters = run.counters();
    counters.toProcess = static_cast<std::int32_t>(ids.size());
    const auto kind = static_cast<RecordKind>(job.recordType);
    IndexWriter index(db);
    auto select = db.prepare("SELECT marc FROM catalogue_records WHERE record_type = ?1 AND "
                             "record_id = ?2");
    auto unmark = db.prepare("UPDATE catalogue_records SET needs_reindex = 0 WHERE "
                             "record_type = ?1 AND record_id = ?2");
    for (std::size_t start = 0; start < ids.size(); start += JobExecution::BulkSize) {
        const std::size_t end = std::min(ids.size(), start + JobExecution::BulkSize);
        Transaction tx(db);
        for (std::size_t n = start; n < end; ++n) {
            select.reset();
            select.bind(1, job.recordType).bind(2, ids[n]);
            const std::string marc = select.step() ? select.blob(0) : std::string();
            const marc::ParseResult parsed = marc::parseRecord(marc);
            if (!parsed.record) {
                ++counters.errors;
                log << "record " << ids[n] << ": "
                    << (marc.empty() ? "not in the catalogue" : "stored record is malformed")
                    << "\n";
                continue;
            }
            index.write(kind, ids[n], *parsed.record);
            unmark.reset();
            unmark.bind(1, job.recordType).bind(2, ids[n]).run();
        }
        tx.commit();
        counters.processed = static_cast<std::int32_t>(end);
        if (run.bulkDone() && end < ids.size()) {
            const JobEnd stop = run.stopped();
            log << "Stopped: " << stop.reason << ", after " << counters.processed << " records\n";
            return stop;
        }
    }
    if (ids.empty())
        run.bulkDone();
    log << "\nRecords indexed: " << counters.processed - counters.errors
        << "\nErrors: " << counters.errors << "\n";
    return {jobs::status::Done, {}};
}

} // namespace orvane::server
