// Auth DB load jobs: the No match records of a match job become new
// authority records, unless one of their key has come into the catalogue
// since the match ran.
#include "auth_source.h"
#include "authload/authority_matcher.h"
#include "catalogue/record_writer.h"
#include "job_execution.h"
#include "job_kinds.h"
#include "result_writer.h"
#include "store/database.h"

#include "marc/iso2709_writer.h"
#include "marc/record.h"
#include "marc/record_view.h"

#include <algorithm>
#include <fstream>
#include <functional>

namespace orvane::server {

namespace {

// The agency's control number kept in an 035, as "(003)001".
std::string with035(const marc::RecordView& view) {
    marc::Record record = marc::Record::fromView(view);
    const auto number = record.controlValue("001");
    const auto source = record.controlValue("003");
    if (number && !number->empty()) {
        std::string key;
        if (source && !source->empty()) {
            key.push_back('(');
            key.append(*source);
            key.push_back(')');
        }
        key.append(*number);
        const bool held = std::any_of(record.fields().begin(), record.fields().end(),
                                      [&](const marc::Field& f) {
                                          return f.tag() == "035" && f.subfield('a') == key;
                                      });
        if (!held)
            record.insertField(marc::Field::data("035", ' ', ' ', {{'a', key}}));
    }
    std::string out;
    marc::appendIso2709(record, out);
    return out;
}

} // namespace

std::size_t loadUnmatchedRecords(Database& db, const std::string& operatorId,
                                 const AuthSource& source, const std::string& databasePath,
                                 std::ostream& log, ResultWriter& results, JobCounters& counters,
                                 const std::function<bool()>& bulkDone) {
    const auto records = resultRecords(databasePath, source.job.id, jobs::result_file::NoMatch);
    authload::AuthorityMatcher matcher(db, source.profile, source.matchTag, nullptr);
    RecordWriter writer(db, operatorId);
    std::size_t added = 0;
    const auto reject = [&](const std::string& record, const std::string& why) {
        ++counters.errors;
        results.write(jobs::result_file::Reject, record);
        log << "rejected, " << why << "\n";
    };
    for (std::size_t start = 0; start < records.size(); start += JobExecution::BulkSize) {
        const std::size_t end = std::min(records.size(), start + JobExecution::BulkSize);
        Transaction tx(db);
        for (std::size_t n = start; n < end; ++n) {
            const marc::ParseResult parsed = marc::parseRecord(records[n]);
            log << "unmatched record " << n + 1;
            if (!parsed.record) {
                log << ": ";
                reject(records[n], "not a well-formed record");
                continue;
            }
            const auto control = parsed.record->findField("001");
            log << " (001 " << (control ? control->value() : std::string_view()) << "): ";
            if (parsed.record->leader()[5] == 'd') {
                reject(records[n], "a deletion notice adds nothing");
                continue;
            }
            // Matched as it would be saved: with its 035 when the match job asked for one.
            const std::string octets = source.job.add035 ? with035(*parsed.record) : records[n];
            const marc::ParseResult saving = marc::parseRecord(octets);
            if (!authload::AuthorityMatcher::indexCode(source.profile).empty() &&
                matcher.match(*saving.record).kind != authload::MatchKind::NoMatch) {
                reject(records[n], "a record of its key is in the catalogue now");
                continue;
            }
            try {
                // A load adds: a record the catalogue would take as a replacement of one
                // it holds (same control number) is refused, and nothing of it stays.
                Savepoint attempt(db);
                const SavedRecord saved = writer.save(octets, RecordKind::Authority);
                if (saved.action == SavedRecord::Action::Replaced) {
                    reject(records[n], "the catalogue holds it already as " +
                                           std::to_string(saved.id));
                    continue;
                }
                attempt.release();
                results.write(jobs::result_file::After, octets);
                log << "added as " << saved.id << "\n";
                ++added;
            } catch (const RecordRejected& e) {
                reject(records[n], e.what());
            }
        }
        tx.commit();
        counters.processed += static_cast<std::int32_t>(end - start);
        if (bulkDone() && end < records.size())
            return added;
    }
    return added;
}

JobEnd runAuthDbLoadJob(JobExecution& run) {
    const JobRow& job = run.job();
    Database& db = run.db();
    std::filesystem::create_directories(run.files().folder());
    std::ofstream log(run.files().log(), std::ios::binary | std::ios::trunc);
    log << "Auth DB load job \"" << job.name << "\" (" << job.id << ") by " << job.operatorId
        << "\n";
    const auto source = authSource(db, run.databasePath(), job, log);
    if (!source)
        return {jobs::status::Failed, "no match job to read"};
    JobCounters& counters = run.counters();
    counters.toProcess = static_cast<std::int32_t>(
        resultRecords(run.databasePath(), source->job.id, jobs::result_file::NoMatch).size());
    ResultWriter results(run.files());
    bool stopped = false;
    const std::size_t added = loadUnmatchedRecords(
        db, job.operatorId, *source, run.databasePath(), log, results, counters, [&] {
            stopped = run.bulkDone();
            return stopped;
        });
    if (stopped && counters.processed < counters.toProcess) {
        const JobEnd stop = run.stopped();
        log << "Stopped: " << stop.reason << ", after " << counters.processed << " records\n";
        return stop;
    }
    if (counters.toProcess == 0)
        run.bulkDone();
    log << "\nRecords: " << counters.processed << "\nAdded: " << added
        << "\nRejected: " << counters.errors << "\n";
    return {jobs::status::Done, {}};
}

} // namespace orvane::server
