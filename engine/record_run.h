#pragma once
// The state of one record's run through a group, shared by the condition
// tests and the consequences. Internal to the engine.

#include "record_facts.h"
#include "record_outcome.h"
#include "run_parameters.h"
#include "work_record.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace engine {

struct CompiledCondition;
struct CompiledConsequence;

struct RecordRun {
    RecordRun(WorkRecord& work, const RunParameters& runParameters)
        : record(work), parameters(runParameters) {}

    // Starts on a new record, with the scratch space of the last one kept.
    void begin(const RecordFacts& recordFacts, RecordOutcome& out, bool isUnicode) {
        facts = recordFacts;
        outcome = &out;
        unicode = isUnicode;
        variables.clear();
        forceChanged = include = exclude = ended = false;
    }

    WorkRecord& record;
    const RunParameters& parameters;
    // As the rules so far have left them.
    RecordFacts facts;
    RecordOutcome* outcome = nullptr;
    bool unicode = true;

    // Across the record's rules.
    std::map<std::int32_t, std::string> variables;
    bool forceChanged = false;
    bool include = false;
    bool exclude = false;
    bool ended = false; // DELETE, ERROR or a failure: no further rule runs

    // Within one rule: the fields of a tag that satisfied the rule's field
    // conditions so far, the target of each target line, the fields added
    // by Add MARC Field.
    std::vector<std::pair<std::string, std::vector<std::size_t>>> narrowed;
    std::vector<std::optional<std::uint32_t>> targets;
    std::vector<std::pair<std::string, std::uint32_t>> newFields;

    // Scratch space reused from condition to condition.
    std::vector<std::size_t> fields;
    std::vector<std::size_t> subfields;
    std::vector<std::size_t> witnesses;
    std::string value;

    void startRule(std::size_t conditionCount) {
        narrowed.clear();
        targets.assign(conditionCount, std::nullopt);
        newFields.clear();
    }
    void fail(std::string message) {
        outcome->outcome = Outcome::Error;
        outcome->messages.push_back(std::move(message));
        ended = true;
    }
};

// Whether the condition holds on the record as the rules so far left it.
bool conditionHolds(const CompiledCondition& condition, std::size_t index, RecordRun& run);
// Applies one consequence of a firing rule.
void applyConsequence(const CompiledConsequence& consequence, RecordRun& run);

} // namespace engine
