#pragma once
// What applying a rule set group did to one record.

#include "record_facts.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace engine {

enum class Outcome { Unchanged, Changed, Deleted, Error };

std::string_view toString(Outcome outcome); // "unchanged", "changed", "deleted", "error"

// The reasons a preview reports with its record ("BC").
namespace disposition {
inline constexpr std::int32_t ExecutionFailed = 4;
inline constexpr std::int32_t Deleted = 5;
inline constexpr std::int32_t NoDeleteRight = 6;
inline constexpr std::int32_t CompileFailure = 7;
inline constexpr std::int32_t HasHoldings = 8;
inline constexpr std::int32_t HasItemsOrOrders = 9;
} // namespace disposition

struct RecordOutcome {
    Outcome outcome = Outcome::Unchanged;
    // The record after the rules, in ISO 2709, when changed.
    std::string record;
    std::vector<std::int32_t> codes;
    // Names of the rules that fired, in the order they ran.
    std::vector<std::string> firedRules;
    // Scan groups: a fired rule said INCLUDE and none said EXCLUDE.
    bool included = false;
    FactChanges facts;
    // DELETEALL: the holdings go with the record.
    bool withHoldings = false;
    // Why the record is in error, or what else the run has to say about it.
    std::vector<std::string> messages;
};

} // namespace engine
