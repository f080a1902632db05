#pragma once
// Which operator right an action on a rule document or rule set group of a
// rule type needs: scan (1) and data change (2) rules have rights of their
// own; the four authority-load types (3 to 6) all come under "ALA".

#include <cstdint>
#include <string_view>

namespace orvane::server {

enum class RuleAction { View, Add, Update, Delete };

bool isRuleType(std::int64_t ruleType);
// Empty for a rule type outside 1 to 6.
std::string_view ruleRight(std::int64_t ruleType, RuleAction action);

} // namespace orvane::server
