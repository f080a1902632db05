#pragma once
// One rule of a document: its name, priority, condition lines between
// "when" and "then", and consequences between "then" and "end".

#include "keyed_collection.h"
#include "rule_condition.h"
#include "rule_consequence.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace rules {

inline constexpr std::string_view kAddFieldPairMessage =
    "An 'Add MARC Field' rule must be followed by an 'Add MARC Subfield' rule for that field.";

// An Add MARC Field consequence with no Add MARC Subfield on its tag after it.
struct AddFieldPairViolation {
    const RuleConsequence* consequence = nullptr;
    // The message box text: the rule, CR LF, and the offending consequence.
    std::string message;
};

class RuleComponent {
public:
    RuleComponent() = default;
    RuleComponent(const RuleComponent&) = delete;
    RuleComponent& operator=(const RuleComponent&) = delete;

    std::vector<std::string> DisplayLines;
    std::string Name;
    std::int32_t Index = 0;
    std::string Priority;
    std::string Summary;
    KeyedCollection<RuleCondition> Conditions;
    KeyedCollection<RuleConsequence> Consequences;
    std::vector<std::string> FieldTags;
    std::int32_t LastConditionIndex = 0;
    std::int32_t LastConsequenceIndex = 0;

    std::string Key() const { return std::to_string(Index); }

    // Reads the rule from its lines (as split from the document, line
    // breaks and indentation included).
    void Read(std::span<const std::string_view> lines, std::int32_t index);
    // The rule as document text, every line ending in CR LF.
    std::string ToText() const;
    void AppendText(std::string& out) const;
    // The rule as the editor lists it, conjunctions on lines of their own.
    const std::vector<std::string>& ToLines();

    // The editor's changes. New lines take the next index of their list.
    RuleCondition& AddCondition(RuleCondition condition, bool withConjunction);
    bool ReplaceCondition(const RuleCondition& edited);
    bool RemoveCondition(std::string_view key);
    bool MoveCondition(std::string_view key, bool up);
    RuleConsequence& AddConsequence(RuleConsequence consequence);
    bool ReplaceConsequence(const RuleConsequence& edited);
    bool RemoveConsequence(std::string_view key);
    bool MoveConsequence(std::string_view key, bool up);

    // The target line on this tag, for a copy into an existing field.
    RuleCondition* FindTargetCondition(std::string_view tag);

    // ForNewField of every Add MARC Subfield, then the tracked field tags.
    void UpdateForNewField();
    void UpdateFieldTags();
    void UpdateSummary();

    std::optional<AddFieldPairViolation> CheckAddFieldPairs() const;
};

// A rule line with its line break, indentation and tabs taken off.
std::string CleanRuleLine(std::string_view line);

} // namespace rules
