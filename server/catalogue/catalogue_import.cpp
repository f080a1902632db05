#include "catalogue_import.h"

#include "marc/reader.h"
#include "record_writer.h"
#include "store/database.h"

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <memory>

namespace orvane::server {

namespace {

// A record of the batch being written, kept until the batch is committed.
struct BatchRecord {
    std::size_t offset = 0;
    std::string octets;
    RecordKind kind = RecordKind::Bibliographic;
};

// What a batch did, added to the import's summary once it is committed.
struct BatchOutcome {
    ImportSummary saved;   // added, replaced and rejected records
    ImportSummary skipped; // what the reader could not read as records
    // Holdings whose bibliographic record has not come yet: saved again once
    // the file is read, when it may have.
    std::vector<BatchRecord> held;
};

void merge(ImportSummary& into, const BatchOutcome& batch) {
    for (const ImportSummary* part : {&batch.skipped, &batch.saved}) {
        into.added += part->added;
        into.replaced += part->replaced;
        into.rejected.insert(into.rejected.end(), part->rejected.begin(), part->rejected.end());
    }
}

// The quick way: no savepoint, the index entries kept for one sorted flush.
// A record the writer rejects has written nothing; false when the database
// refused something, which leaves the batch to be rolled back.
bool saveFast(RecordWriter& writer, const BatchRecord& record, const std::string& path,
              BatchOutcome& outcome) {
    try {
        const SavedRecord saved = writer.save(record.octets, record.kind);
        ++(saved.action == SavedRecord::Action::Added ? outcome.saved.added
                                                      : outcome.saved.replaced);
        return true;
    } catch (const BibliographicRecordMissing&) {
        outcome.held.push_back(record);
        return true;
    } catch (const RecordRejected& e) {
        outcome.saved.rejected.push_back({path, record.offset, e.what()});
        return true;
    } catch (const StoreError&) {
        return false;
    }
}

// Records read ahead of their saving, a batch's look-ups asked for these many at once.
constexpr std::size_t LookAheadRecords = 256;

bool lookAheadFast(RecordWriter& writer, const std::vector<BatchRecord>& batch, std::size_t from) {
    std::vector<std::pair<std::string_view, RecordKind>> ahead;
    for (std::size_t i = from; i < batch.size(); ++i)
        ahead.emplace_back(batch[i].octets, batch[i].kind);
    try {
        writer.lookAhead(ahead);
        return true;
    } catch (const StoreError&) {
        return false;
    }
}

bool flushFast(Database& db, RecordWriter& writer) {
    try {
        writer.writeHeldCounters();
        writer.index().flush();
        db.completeWrites();
        return true;
    } catch (const StoreError&) {
        writer.index().discard();
        return false;
    }
}

// The careful way: a savepoint per record, so that a record the database
// refuses (a constraint) is rolled back alone, as that record's fault.
// Holdings without their bibliographic record go to `held` when given.
void saveAlone(Database& db, RecordWriter& writer, const BatchRecord& record,
               const std::string& path, ImportSummary& saved,
               std::vector<BatchRecord>* held = nullptr) {
    Savepoint savepoint(db);
    try {
        const SavedRecord result = writer.save(record.octets, record.kind);
        savepoint.release();
        ++(result.action == SavedRecord::Action::Added ? saved.added : saved.replaced);
    } catch (const BibliographicRecordMissing& e) {
        if (held)
            held->push_back(record);
        else
            saved.rejected.push_back({path, record.offset, e.what()});
    } catch (const RecordRejected& e) {
        saved.rejected.push_back({path, record.offset, e.what()});
    } catch (const StoreError& e) {
        saved.rejected.push_back({path, record.offset, e.what()});
    }
}

// The holdings that came before their bibliographic record, now that the
// whole file is in: linked to it, or rejected since it never came.
void saveHeld(Database& db, RecordWriter& writer, const std::vector<BatchRecord>& held,
              const std::string& path, std::size_t batchSize, ImportSummary& summary) {
    for (std::size_t from = 0; from < held.size(); from += batchSize) {
        ImportSummary saved;
        Transaction tx(db);
        for (std::size_t i = from; i < std::min(held.size(), from + batchSize); ++i)
            saveAlone(db, writer, held[i], path, saved);
        tx.commit();
        merge(summary, BatchOutcome{saved, {}, {}});
    }
}

// Records the reader skipped as malformed, in the words of its issues.
void noteSkipped(const marc::Reader& reader, const std::string& path, ImportSummary& summary) {
    for (const marc::Issue& issue : reader.issues())
        if (issue.severity == marc::Severity::Error)
            summary.rejected.push_back({path, issue.recordOffset, marc::describe(issue)});
}

} // namespace

void importFile(Database& db, const std::string& path, const ImportOptions& options,
                ImportSummary& summary) {
    auto reader = marc::Reader::openFile(path);
    if (!reader)
        throw StoreError("cannot open " + path);
    std::error_code ignored;
    ImportProgress progress{path, 0,
                            static_cast<std::size_t>(std::filesystem::file_size(path, ignored)), 0};
    BulkWrite bulk(db);
    RecordWriter writer(db, options.operatorId);
    const std::size_t batchSize = options.batchSize == 0 ? 1 : options.batchSize;

    std::vector<BatchRecord> batch;
    bool more = true;
    std::vector<BatchRecord> held;
    while (more) {
        batch.clear();
        BatchOutcome outcome;
        bool whole = true;
        {
            Transaction tx(db);
            whole = !options.recordByRecord;
            writer.index().deferWrites(whole);
            writer.holdBatch(whole);
            const auto batchEnds = std::chrono::steady_clock::now() + options.batchTime;
            while (more && batch.size() < batchSize &&
                   std::chrono::steady_clock::now() < batchEnds) {
                // Records read a few hundred ahead, what saving them will ask
                // the catalogue asked for them all at once.
                const std::size_t first = batch.size();
                while (batch.size() < std::min(batchSize, first + LookAheadRecords)) {
                    auto view = reader->next();
                    noteSkipped(*reader, path, outcome.skipped);
                    if (!view) {
                        more = false;
                        break;
                    }
                    ++progress.records;
                    progress.bytesRead = view->offset() + view->bytes().size();
                    batch.push_back({view->offset(), std::string(view->bytes()),
                                     options.kind.value_or(recordKindOf(view->recordType()))});
                }
                if (whole)
                    whole = lookAheadFast(writer, batch, first);
                for (std::size_t i = first; whole && i < batch.size(); ++i)
                    whole = saveFast(writer, batch[i], path, outcome);
            }
            if (whole)
                whole = flushFast(db, writer);
            writer.index().deferWrites(false);
            writer.holdBatch(false);
            if (whole)
                tx.commit();
            else
                writer.index().discard();
        }
        if (!whole) {
            // The database refused something: the batch again, a record at a time.
            if (!options.recordByRecord)
                ++summary.batchesWrittenAgain;
            outcome.saved = {};
            outcome.held.clear();
            Transaction tx(db);
            for (const BatchRecord& record : batch)
                saveAlone(db, writer, record, path, outcome.saved, &outcome.held);
            tx.commit();
        }
        merge(summary, outcome);
        held.insert(held.end(), std::make_move_iterator(outcome.held.begin()),
                    std::make_move_iterator(outcome.held.end()));
        if (reader->inputFailed())
            throw StoreError("reading " + path + " failed");
        if (options.progress)
            options.progress(progress);
    }
    saveHeld(db, writer, held, path, batchSize, summary);
}

} // namespace orvane::server
