#pragma once
// A data change group applied to one catalogue record with nothing saved:
// the record before and after, the disposition code a preview reports
// ("BC") and what the run has to say about the record.

#include <cstdint>
#include <string>
#include <vector>

namespace orvane::server {

class Database;
struct CatalogueRecord;
struct CompiledGroup;

// The disposition codes only the preview gives; the engine gives 4 to 9.
namespace preview_code {
inline constexpr std::int32_t NoHoldings = 1;
inline constexpr std::int32_t NoOperatorLocation = 2;
inline constexpr std::int32_t EmptySet = 3;
} // namespace preview_code

struct PreviewSettings {
    std::int64_t operatorRow = 0;
    // The operator may delete records of the record's type.
    bool mayDelete = false;
    // Patterns of the field order configuration; empty for none.
    std::string fieldOrder;
};

struct RecordPreview {
    std::string before; // ISO 2709 octets
    std::string after;  // the same octets when the rules changed nothing
    std::int32_t code = 0;
    std::vector<std::string> messages;
};

// `group` is a data change group, compiled or not.
RecordPreview previewRecord(Database& db, const CompiledGroup& group, const CatalogueRecord& record,
                            const PreviewSettings& settings);

} // namespace orvane::server
