#pragma once
// Which lines of a rule count as errors for the tool: comments and target
// lines carry a status text in ErrorText but are not in error.

#include "rule_condition.h"
#include "rule_consequence.h"

namespace velumar_rules {

inline bool InError(const rules::RuleCondition& condition) {
    return condition.HasError() && condition.Kind != rules::condition_kind::Comment &&
           condition.Kind != rules::condition_kind::Target;
}

inline bool InError(const rules::RuleConsequence& consequence) {
    return consequence.HasError() && consequence.Kind != rules::consequence_kind::Comment;
}

} // namespace velumar_rules
