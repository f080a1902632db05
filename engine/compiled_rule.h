#pragma once
// A rule as the engine runs it: its parsed lines with what can be worked out
// once per group already worked out (selectors, byte ranges, library lists,
// compiled patterns, the pairing of copies with their target lines).

#include "field_selector.h"
#include "replace_pattern.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace rules {
class RuleComponent;
class RuleCondition;
class RuleConsequence;
} // namespace rules

namespace engine {

// A control field's bytes: the whole data, or [start, end).
struct ControlRange {
    TagPattern tag;
    std::int32_t start = -1;
    std::int32_t end = -1;
    bool whole() const { return start < 0 || end < 0; }
};

struct CompiledCondition {
    const rules::RuleCondition* line = nullptr;
    std::int32_t kind = 0;
    FieldSelector selector;
    bool anyField = false; // a value comparison with no field named
    // Tag of a from-clause that narrows the fields of the condition's own tag.
    std::optional<std::string> narrowsTag;
    ControlRange control;
    std::vector<std::string> libraries;
};

struct CompiledConsequence {
    const rules::RuleConsequence* line = nullptr;
    std::int32_t kind = 0;
    FieldSelector selector; // the fields it reads or changes
    ControlRange control;
    std::string targetTag; // copy and retag: upper-case
    char targetCode = '\0';
    // Copy into an existing field: the index of its target line among the
    // rule's conditions.
    std::size_t targetCondition = 0;
    // Add subfield from a MARC expression.
    std::optional<FieldSelector> expression;
    std::optional<ControlRange> expressionControl;
    bool placeAfter = false; // placement keyword "after", else "before"
    std::shared_ptr<const ReplacePattern> pattern;
};

struct CompiledRule {
    std::string name;
    std::string document;
    std::int32_t priority = 0;
    std::vector<CompiledCondition> conditions;
    std::vector<CompiledConsequence> consequences;
    bool usesFacts = false;
};

} // namespace engine
