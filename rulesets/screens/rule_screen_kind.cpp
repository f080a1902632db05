#include "rule_screen_kind.h"

namespace velumar::rule_screen_kinds {

namespace {

constexpr char NewRuleSet[] = "Create new rule set:";
constexpr char NewGroup[] = "Create new rule set group:";
constexpr char EditGroup[] = "Edit rule set group:";
constexpr char AuthLoadGroup[] = "Auth Load Rule Set Group";
constexpr char NewMatch[] = "Create new load match configuration:";
constexpr char NewMerge[] = "Create new load merge configuration:";

} // namespace

const RuleScreenKind DataChangeRuleSets{
    "RuleGeneration_RuleDocuments", 2,          Right::DCRA, Right::DCRU,     Right::DCRD,
    "Data Change Rule Set",         NewRuleSet, NewRuleSet,  "Edit rule set:"};
const RuleScreenKind ScanRuleSets{"RuleGeneration_ScanRuleDocs",
                                  1,
                                  Right::SRA,
                                  Right::SRU,
                                  Right::SRD,
                                  "Scan Rule Set",
                                  NewRuleSet,
                                  NewRuleSet,
                                  "Edit rule set:"};
const RuleScreenKind DataChangeGroups{
    "RuleGeneration_RuleSets",    2,        Right::DCRA, Right::DCRU, Right::DCRD,
    "Data Change Rule Set Group", NewGroup, NewGroup,    EditGroup};
const RuleScreenKind ScanGroups{
    "RuleGeneration_ScanRuleSets", 1,        Right::SRA, Right::SRU, Right::SRD,
    "Scan Rule Set Group",         NewGroup, NewGroup,   EditGroup};
// The copy caption of a match configuration has no colon.
const RuleScreenKind LoadMatchConfigurations{"RuleGeneration_AuthLoadMatchRuleSets",
                                             3,
                                             Right::ALA,
                                             Right::ALA,
                                             Right::ALA,
                                             AuthLoadGroup,
                                             NewMatch,
                                             "Create new load match configuration",
                                             "Edit load match configuration:"};
const RuleScreenKind LoadMergeConfigurations{"RuleGeneration_AuthLoadMergeRuleSets",
                                             4,
                                             Right::ALA,
                                             Right::ALA,
                                             Right::ALA,
                                             AuthLoadGroup,
                                             NewMerge,
                                             NewMerge,
                                             "Edit load merge configuration:"};
const RuleScreenKind LoadReconcileConfigurations{"RuleGeneration_AuthLoadReconcileRuleSets",
                                                 6,
                                                 Right::ALA,
                                                 Right::ALA,
                                                 Right::ALA,
                                                 AuthLoadGroup,
                                                 NewGroup,
                                                 NewGroup,
                                                 EditGroup};

} // namespace velumar::rule_screen_kinds
