#pragma once
// Loads ISO 2709 files into the catalogue in batches: one transaction per
// batch, one savepoint per record, so a record is written whole or not at
// all, and an import that is killed keeps the batches it committed.

#include "record_kind.h"

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
    std::size_t batchSize = 2000;
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
};

// Adds what the file holds to `summary`. Throws StoreError when the file
// cannot be read or the database fails; batches committed before stay.
void importFile(Database& db, const std::string& path, const ImportOptions& options,
                ImportSummary& summary);

} // namespace orvane::server
