// Scan jobs: the scan group decides, record by record, which records go
// into the receiving set; their ids are added a bulk at a time and listed
// in the job's "MARC ids" file.
#include "job_execution.h"
#include "job_group.h"
#include "job_kinds.h"

#include "group_runner.h"
#include "recordsets/record_set_catalogue.h"
#include "recordsets/record_set_members.h"
#include "rulerun/catalogue_facts.h"
#include "store/database.h"

#include "marc/record_view.h"

#include <algorithm>
#include <fstream>
#include <span>

namespace orvane::server {

namespace {

// The set the job fills: the one chosen, or a new one made now.
std::optional<std::int32_t> receivingSet(Database& db, const JobRow& job, std::ostream& log) {
    if (job.saveRecordSetId) {
        if (RecordSetCatalogue(db).find(*job.saveRecordSetId))
            return job.saveRecordSetId;
        log << "The record set that was to receive the records no longer exists.\n";
        return std::nullopt;
    }
    const RecordSetChange made =
        RecordSetCatalogue(db).add(job.newRecordSetName, 1, job.recordType, job.operatorId);
    if (made.status != 0) {
        log << "The new record set \"" << job.newRecordSetName << "\" cannot be made"
            << (made.status == 4 ? ": the name is taken" : "") << ".\n";
        return std::nullopt;
    }
    JobStore(db).setSaveRecordSet(job.id, made.id);
    log << "New record set \"" << job.newRecordSetName << "\" (" << made.id << ")\n";
    return made.id;
}

} // namespace

JobEnd runScanJob(JobExecution& run) {
    const JobRow& job = run.job();
    Database& db = run.db();
    std::filesystem::create_directories(run.files().folder());
    std::ofstream log(run.files().log(), std::ios::binary | std::ios::trunc);
    std::ofstream idsFile(run.files().resultFile(jobs::MarcIdsFile),
                          std::ios::binary | std::ios::trunc);
    log << "Scan job \"" << job.name << "\" (" << job.id << ") by " << job.operatorId << "\n";
    const auto group = jobGroup(db, job, log);
    if (!group)
        return {jobs::status::Failed, "the job cannot run"};
    std::string error;
    const std::vector<std::int32_t> ids = jobRecordIds(db, job, error);
    if (!error.empty()) {
        log << error << "\n";
        return {jobs::status::Failed, error};
    }
    const auto setId = receivingSet(db, job, log);
    if (!setId)
        return {jobs::status::Failed, "no record set to fill"};

    JobCounters& counters = run.counters();
    counters.toProcess = static_cast<std::int32_t>(ids.size());
    engine::RunParameters parameters;
    parameters.kind = engine::GroupKind::Scan;
    engine::GroupRunner runner(*group->group, parameters);
    CatalogueReader reader(db);
    RecordSetMembers members(db);
    engine::RecordOutcome outcome;
    std::vector<std::int32_t> included;
    std::size_t total = 0;
    std::size_t inBulk = 0;
    const auto addBulk = [&] {
        if (included.empty())
            return;
        members.add(*setId, job.recordType, included, job.operatorId);
        for (const std::int32_t id : included)
            idsFile << id << "\r\n";
        total += included.size();
        included.clear();
    };
    for (std::size_t n = 0; n < ids.size(); ++n) {
        if (inBulk == 0)
            reader.readAhead(job.recordType, std::span(ids).subspan(
                                                 n, std::min(JobExecution::BulkSize, ids.size() - n)));
        const auto record = reader.load(job.recordType, ids[n]);
        const marc::ParseResult parsed =
            record ? marc::parseRecord(record->marc) : marc::ParseResult{};
        if (!parsed.record) {
            ++counters.errors;
            log << "record " << ids[n] << ": " << (record ? "stored record is malformed"
                                                          : "not in the catalogue") << "\n";
        } else {
            runner.apply(*parsed.record, record->facts, outcome);
            if (outcome.included)
                included.push_back(ids[n]);
        }
        ++counters.processed;
        if (++inBulk == JobExecution::BulkSize || n + 1 == ids.size()) {
            addBulk();
            inBulk = 0;
            if (run.bulkDone() && n + 1 < ids.size()) {
                const JobEnd end = run.stopped();
                log << "Stopped: " << end.reason << ", after " << counters.processed
                    << " records; " << total << " records added to the set\n";
                return end;
            }
        }
    }
    if (ids.empty())
        run.bulkDone();
    log << "\nRecords: " << counters.processed << "\nIncluded: " << total
        << "\nErrors: " << counters.errors << "\n";
    return {jobs::status::Done, {}};
}

} // namespace orvane::server
