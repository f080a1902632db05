#pragma once
// What the catalogue knows about a record besides its MARC data. Offline
// (velumar-rules apply) nothing is known: every fact is empty, and the
// conditions on them do not hold.

#include <cstdint>
#include <optional>
#include <string>

namespace engine {

enum class RecordKind { Bibliographic = 1, Holdings = 2, Authority = 3 };

struct RecordFacts {
    RecordKind kind = RecordKind::Bibliographic;
    std::int32_t id = 0;
    std::optional<std::string> createdDate; // yyyymmdd
    std::optional<std::string> updatedDate; // yyyymmdd
    std::optional<std::string> createdBy;
    std::optional<std::string> updatedBy;
    std::optional<std::string> owningLibrary;     // its code
    std::optional<std::string> owningLibraryName; // as the operator's list shows it
    std::optional<std::string> location; // of a holdings record
    std::optional<bool> suppressed;
    std::optional<bool> okToExport;
    std::optional<std::string> okToExportDate; // yyyymmdd
    // A bibliographic record's holdings, and its items or orders.
    std::optional<bool> hasHoldings;
    std::optional<bool> hasItemsOrOrders;
};

// What the rules changed of those facts; empty where nothing was set.
struct FactChanges {
    std::optional<bool> suppressed;
    bool holdingsToo = false; // SUPPRESSALL / UNSUPPRESSALL
    std::optional<std::string> owningLibrary;
    std::optional<std::string> location;
    std::optional<bool> okToExport;
    std::optional<std::string> okToExportDate;

    bool any() const {
        return suppressed || owningLibrary || location || okToExport || okToExportDate;
    }
};

} // namespace engine
