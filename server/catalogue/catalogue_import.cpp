#include "catalogue_import.h"

#include "marc/reader.h"
#include "record_writer.h"
#include "store/database.h"

#include <filesystem>
#include <memory>

namespace orvane::server {

namespace {

// A larger page cache and fewer checkpoints while importing: index entries
// land all over their tables, and each batch dirties many of the same pages
// again, which a checkpoint per thousand pages would copy over and over.
class ImportCache {
public:
    explicit ImportCache(Database& db) : db_(db) {
        previous_ = pragma("cache_size");
        previousCheckpoint_ = pragma("wal_autocheckpoint");
        db_.exec("PRAGMA cache_size = -65536");
        db_.exec("PRAGMA wal_autocheckpoint = 32768");
    }
    ~ImportCache() {
        try {
            db_.exec("PRAGMA cache_size = " + std::to_string(previous_));
            db_.exec("PRAGMA wal_autocheckpoint = " + std::to_string(previousCheckpoint_));
        } catch (const StoreError&) {
            // The connection keeps the import's settings; nothing is lost.
        }
    }
    ImportCache(const ImportCache&) = delete;
    ImportCache& operator=(const ImportCache&) = delete;

private:
    std::int64_t pragma(const std::string& name) {
        auto st = db_.prepare("PRAGMA " + name);
        st.step();
        return st.int64(0);
    }

    Database& db_;
    std::int64_t previous_ = 0;
    std::int64_t previousCheckpoint_ = 0;
};

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
    ImportCache cache(db);
    RecordWriter writer(db, options.operatorId);
    const std::size_t batchSize = options.batchSize == 0 ? 1 : options.batchSize;

    bool more = true;
    while (more) {
        Transaction tx(db);
        const auto batchEnds = std::chrono::steady_clock::now() + options.batchTime;
        std::size_t inBatch = 0;
        while (inBatch < batchSize && std::chrono::steady_clock::now() < batchEnds) {
            auto view = reader->next();
            noteSkipped(*reader, path, summary);
            if (!view) {
                more = false;
                break;
            }
            ++inBatch;
            ++progress.records;
            progress.bytesRead = view->offset() + view->bytes().size();
            const RecordKind kind = options.kind.value_or(recordKindOf(view->recordType()));
            Savepoint record(db);
            try {
                const SavedRecord saved = writer.save(view->bytes(), kind);
                record.release();
                ++(saved.action == SavedRecord::Action::Added ? summary.added : summary.replaced);
            } catch (const RecordRejected& e) {
                summary.rejected.push_back({path, view->offset(), e.what()});
            } catch (const StoreError& e) {
                // A record the database refuses (a constraint) is that record's fault.
                summary.rejected.push_back({path, view->offset(), e.what()});
            }
        }
        tx.commit();
        if (reader->inputFailed())
            throw StoreError("reading " + path + " failed");
        if (options.progress)
            options.progress(progress);
    }
}

} // namespace orvane::server
