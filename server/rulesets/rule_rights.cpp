#include "rule_rights.h"

namespace orvane::server {

bool isRuleType(std::int64_t ruleType) { return ruleType >= 1 && ruleType <= 6; }

std::string_view ruleRight(std::int64_t ruleType, RuleAction action) {
    if (!isRuleType(ruleType))
        return {};
    if (ruleType >= 3)
        return "ALA";
    const bool scan = ruleType == 1;
    switch (action) {
    case RuleAction::View:
        return scan ? "SRV" : "DCRV";
    case RuleAction::Add:
        return scan ? "SRA" : "DCRA";
    case RuleAction::Update:
        return scan ? "SRU" : "DCRU";
    case RuleAction::Delete:
        return scan ? "SRD" : "DCRD";
    }
    return {};
}

} // namespace orvane::server
