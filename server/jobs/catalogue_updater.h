#pragma once
// Writes what a data change job decided into the catalogue: a changed
// record with its flags, history row and index entries; a deletion (with the
// holdings for DELETEALL). The caller holds the bulk's transaction.

#include "catalogue/index_writer.h"
#include "record_facts.h"
#include "store/database.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace orvane::server {

class CatalogueUpdater {
public:
    CatalogueUpdater(Database& db, std::string operatorId, bool keywordIndex);

    // `previous` goes into the history row; `octets` are the record after the rules.
    void replace(RecordKind kind, std::int32_t id, std::string_view previous,
                 std::string_view octets, const engine::FactChanges& facts);
    // Only what the catalogue keeps about the record changed, not its octets.
    void setFacts(RecordKind kind, std::int32_t id, const engine::FactChanges& facts);
    void remove(RecordKind kind, std::int32_t id, bool withHoldings);

private:
    std::optional<std::int64_t> codeId(std::map<std::string, std::int64_t, std::less<>>& codes,
                                       const std::string& code);

    Database& db_;
    std::string operator_;
    bool keywordIndex_;
    Statement update_;
    Statement history_;
    Statement flags_;
    Statement holdingsSuppressed_;
    Statement delete_;
    Statement deleteHoldings_;
    IndexWriter index_;
    std::map<std::string, std::int64_t, std::less<>> libraries_;
    std::map<std::string, std::int64_t, std::less<>> locations_;
};

} // namespace orvane::server
