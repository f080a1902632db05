#pragma once
// What sets the rule screens apart: the navigation key that opens each, its
// rule type, the rights that enable its buttons, the captions of its edit
// panel and the kind its delete question names.

#include "security/right.h"

namespace velumar {

struct RuleScreenKind {
    const char* key; // navigation key; the screen's name and help come with it
    int ruleType;
    Right add; // New, Copy and Import
    Right update;
    Right remove;
    const char* deleteKind;
    const char* newCaption;
    const char* copyCaption;
    const char* editCaption;
};

namespace rule_screen_kinds {

extern const RuleScreenKind DataChangeRuleSets;
extern const RuleScreenKind ScanRuleSets;
extern const RuleScreenKind DataChangeGroups;
extern const RuleScreenKind ScanGroups;
extern const RuleScreenKind LoadMatchConfigurations;
extern const RuleScreenKind LoadMergeConfigurations;
extern const RuleScreenKind LoadReconcileConfigurations;

inline constexpr char ImportCaption[] = "Import rule set:";

} // namespace rule_screen_kinds

} // namespace velumar
