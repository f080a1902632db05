#pragma once
// The --json form of "check": every document, rule, condition and
// consequence with its kind, error, written form and fields.

#include <nlohmann/json.hpp>
#include <string>

namespace rules {
class RuleCondition;
class RuleConsequence;
class RuleDocument;
} // namespace rules

namespace velumar_rules {

using Json = nlohmann::ordered_json;

Json ConditionFields(const rules::RuleCondition& condition);
Json ConsequenceFields(const rules::RuleConsequence& consequence);
Json ConditionReport(const rules::RuleCondition& condition);
Json ConsequenceReport(const rules::RuleConsequence& consequence);
Json DocumentReport(const std::string& path, rules::RuleDocument& document);

} // namespace velumar_rules
