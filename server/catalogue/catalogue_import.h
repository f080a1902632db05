#pragma once
// Loads ISO 2709 files into the catalogue in batches: one transaction per
// batch, one savepoint per record, so a record is written whole or not at
// all, and an import that is killed keeps the batches it committed. A batch
// also ends once it has held the write lock for a while, so that the
// server's own writers beside it wait a fraction of a second at most.
// A holdings record that comes before its bibliographic record in the file
// is held until the file is read, then linked, or rejected if it never came.

#include "record_kind.h"

#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace orvane::server {

class Database;

struct ImportProgress {
    std::string file;
    std::size_t bytesRead = 0;
    std::size_t fileBytes = 0;
    std::size_t records = 0; // met so far in this file, rejected ones included
};

struct ImportOptions {
    // Every record is taken as this kind; otherwise leader 06 says.
    std::optional<RecordKind> kind;
    std::string operatorId = "import";
    std::size_t batchSize = 5000;
    // A batch ends after this long even when it holds fewer records.
    std::chrono::milliseconds batchTime{250};
    // Every batch written a record at a time, each in its savepoint, its
    // index entries one by one: the way a batch the database refused is
    // written again, here for comparison (the benchmark).
    bool recordByRecord = false;
    // Called after each batch is committed.
    std::function<void(const ImportProgress&)> progress;
};

struct ImportRejection {
    std::string file;
    std::size_t offset = 0; // where the record lies in the file
    std::string reason;
};

struct ImportSummary {
    std::size_t added = 0;
    std::size_t replaced = 0;
    std::vector<ImportRejection> rejected;
    // Batches the database refused, written again a record at a time.
    std::size_t batchesWrittenAgain = 0;
};

// Adds what the file holds to `summary`. Throws StoreError when the file
// cannot be read or the database fails; batches committed before stay.
void importFile(Database& db, const std::string& path, const ImportOptions& options,
                ImportSummary& summary);

} // namespace orvane::server
