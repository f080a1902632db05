// Data change jobs: the group applied to every record of the set, the result
// files written, and with "update database" each bulk of changed and deleted
// records saved in one transaction.
#include "catalogue_updater.h"
#include "job_execution.h"
#include "job_group.h"
#include "job_kinds.h"

#include "field_order.h"
#include "group_runner.h"
#include "result_files.h"
#include "rulerun/catalogue_facts.h"
#include "store/database.h"

#include "marc/record_view.h"

#include <algorithm>
#include <sstream>
#include <span>

namespace orvane::server {

namespace {

// A change decided for a record, waiting for its bulk's transaction.
struct PendingChange {
    std::int32_t id;
    std::string previous;
    std::string octets; // empty: only the catalogue's facts changed
    engine::FactChanges facts;
    bool remove = false;
    bool withHoldings = false;
};

std::string codeOf(Database& db, const char* table, const std::string& id) {
    if (id.empty())
        return {};
    auto st = db.prepare(std::string("SELECT code FROM ") + table + " WHERE id = ?1");
    st.bind(1, id);
    return st.step() ? st.text(0) : std::string();
}

bool mayDeleteRecords(Database& db, const std::string& operatorId, std::int32_t recordType) {
    static constexpr const char* rights[] = {"", "RSBDR", "RSMDR", "RSADR"};
    if (recordType < 1 || recordType > 3)
        return false;
    auto st = db.prepare("SELECT 1 FROM operator_rights r JOIN operators o ON o.id = r.operator "
                         "WHERE o.operator_id = ?1 AND r.code = ?2");
    st.bind(1, operatorId).bind(2, rights[recordType]);
    return st.step();
}

void save(Database& db, CatalogueUpdater& updater, RecordKind kind,
          std::vector<PendingChange>& changes) {
    if (changes.empty())
        return;
    Transaction tx(db);
    // A failure fails the whole bulk, so each write need not wait for its answer.
    WritesAhead ahead(db);
    for (const PendingChange& c : changes) {
        if (c.remove)
            updater.remove(kind, c.id, c.withHoldings);
        else if (c.octets.empty())
            updater.setFacts(kind, c.id, c.facts);
        else
            updater.replace(kind, c.id, c.previous, c.octets, c.facts);
    }
    tx.commit();
    changes.clear();
}

} // namespace

JobEnd runDataChangeJob(JobExecution& run) {
    JobRow job = run.job();
    // Reconciling authority records is a data change that is always saved.
    if (job.type == jobs::type::AuthLoadReconcile) {
        job.updateDatabase = true;
        // Matching reads the heading index: it must not wait for an index job.
        job.keywordIndex = true;
    }
    Database& db = run.db();
    std::string error;
    auto files = engine::ResultFiles::open(run.files().folder(), engine::GroupKind::DataChange,
                                           error);
    if (!files)
        return {jobs::status::Failed, error};
    std::ostringstream header;
    header << (job.type == jobs::type::AuthLoadReconcile ? "Auth load reconcile job \""
                                                         : "Data change job \"")
           << job.name << "\" (" << job.id << ") by " << job.operatorId
           << ", update database: " << (job.updateDatabase ? "yes" : "no")
           << ", keyword index: " << (job.keywordIndex ? "yes" : "no") << "\n";
    const auto group = jobGroup(db, job, header);
    std::optional<engine::FieldOrder> order;
    if (group && !job.fieldOrder.empty()) {
        const auto patterns = fieldOrderPatterns(db, job.fieldOrder);
        if (patterns)
            order = engine::FieldOrder::parse(*patterns, error);
        if (!order) {
            header << "The field order configuration \"" << job.fieldOrder << "\" cannot be used"
                   << (error.empty() ? "" : ": " + error) << "\n";
        }
    }
    files->note(header.str());
    if (!group || (!job.fieldOrder.empty() && !order)) {
        files->finish({});
        return {jobs::status::Failed, "the job cannot run"};
    }

    const std::vector<std::int32_t> ids = jobRecordIds(db, job, error);
    if (!error.empty()) {
        files->note(error);
        files->finish({});
        return {jobs::status::Failed, error};
    }
    JobCounters& counters = run.counters();
    counters.toProcess = static_cast<std::int32_t>(ids.size());

    engine::RunParameters parameters;
    parameters.kind = engine::GroupKind::DataChange;
    parameters.libraryId = codeOf(db, "owning_libraries", job.libraryParam);
    parameters.locationId = codeOf(db, "locations", job.locationParam);
    parameters.mayDelete = mayDeleteRecords(db, job.operatorId, job.recordType);
    engine::GroupRunner runner(*group->group, parameters, order ? &*order : nullptr);
    CatalogueReader reader(db);
    CatalogueUpdater updater(db, job.operatorId, job.keywordIndex);
    const auto kind = static_cast<RecordKind>(job.recordType);

    engine::RunSummary summary;
    engine::RecordOutcome outcome;
    std::vector<PendingChange> changes;
    std::size_t inBulk = 0;
    for (std::size_t n = 0; n < ids.size(); ++n) {
        if (inBulk == 0)
            reader.readAhead(job.recordType, std::span(ids).subspan(
                                                 n, std::min(JobExecution::BulkSize, ids.size() - n)));
        const auto record = reader.load(job.recordType, ids[n]);
        if (!record) {
            ++counters.errors;
            files->note("record " + std::to_string(ids[n]) + ": not in the catalogue");
        } else if (const marc::ParseResult parsed = marc::parseRecord(record->marc);
                   !parsed.record) {
            ++counters.errors;
            files->note("record " + std::to_string(ids[n]) + ": stored record is malformed");
        } else {
            runner.apply(*parsed.record, record->facts, outcome);
            files->record(n + 1, record->marc, outcome);
            summary.add(outcome);
            if (outcome.outcome == engine::Outcome::Error)
                ++counters.errors;
            if (outcome.outcome == engine::Outcome::Deleted)
                ++counters.deleted;
            if (job.updateDatabase && outcome.outcome == engine::Outcome::Changed) {
                const bool sameOctets = outcome.record == record->marc;
                changes.push_back({ids[n], record->marc, sameOctets ? "" : outcome.record,
                                   outcome.facts});
            } else if (job.updateDatabase && outcome.outcome == engine::Outcome::Deleted) {
                changes.push_back({ids[n], {}, {}, {}, true, outcome.withHoldings});
            }
        }
        ++counters.processed;
        if (++inBulk == JobExecution::BulkSize || n + 1 == ids.size()) {
            save(db, updater, kind, changes);
            inBulk = 0;
            if (run.bulkDone() && n + 1 < ids.size()) {
                const JobEnd end = run.stopped();
                files->note("Stopped: " + end.reason + ", after " +
                            std::to_string(counters.processed) + " records");
                files->finish(summary);
                return end;
            }
        }
    }
    if (ids.empty())
        run.bulkDone();
    files->finish(summary);
    return {jobs::status::Done, {}};
}

} // namespace orvane::server
