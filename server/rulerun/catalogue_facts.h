#pragma once
// A catalogue record as the rules see it: its octets and what the catalogue
// knows about it (dates, operators, owning library, location, suppression,
// export, holdings).

#include "record_facts.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>

namespace orvane::server {

class Database;
class Statement;

struct CatalogueRecord {
    std::string marc;
    engine::RecordFacts facts;
};

// Reads records one after another with one prepared statement, as a job does.
class CatalogueReader {
public:
    explicit CatalogueReader(Database& db);
    ~CatalogueReader();
    // Nothing when the catalogue holds no such record. `recordType` is 1 to 3.
    std::optional<CatalogueRecord> load(std::int32_t recordType, std::int32_t recordId);
    // The records a job is about to load, read in one statement where each
    // read is a round trip to the database; load() then hands them out.
    void readAhead(std::int32_t recordType, std::span<const std::int32_t> recordIds);

private:
    Database& db_;
    std::unique_ptr<Statement> select_;
    std::unique_ptr<Statement> selectMany_;
    std::int32_t aheadType_ = 0;
    std::map<std::int32_t, std::optional<CatalogueRecord>> ahead_;
};

// One record, for a request that needs no more.
std::optional<CatalogueRecord> loadCatalogueRecord(Database& db, std::int32_t recordType,
                                                   std::int32_t recordId);

// The patterns of a stored field order configuration; nothing when none has
// this name.
std::optional<std::string> fieldOrderPatterns(Database& db, const std::string& name);

} // namespace orvane::server
