#include "main_window/screen_catalogue.h"

#include <vector>

namespace velumar {

namespace {

// Help contexts are grouped by subsystem: 20xxx record sets, 30xxx rules,
// 40xxx preview, 50xxx jobs, 60xxx options.
const std::vector<ScreenEntry>& entries() {
    static const std::vector<ScreenEntry> table{
        {"RecordSets_View", "frmRecordSets_View", 20100},
        {"RecordSets_Specific", "frmRecordSets_Specific", 20300},
        {"RuleGeneration_RuleDocuments", "frmRules_View", 30100},
        {"RuleGeneration_RuleSets", "frmRuleSets_View", 30200},
        {"RuleGeneration_ScanRuleDocs", "frmScanRules_View", 30300},
        {"RuleGeneration_ScanRuleSets", "frmScanRuleSets_View", 30400},
        {"Preview_Select", "frmPreview_Select", 40100},
        {"JobManagement_SubmitScan", "frmJobManagement_SubmitScan", 50100},
        {"JobManagement_SubmitChange", "frmJobManagement_SubmitChange", 50200},
        {"JobManagement_SubmitIndex", "frmJobManagement_SubmitIndex", 50300},
        {"JobManagement_SubmitMatch", "frmJobManagement_SubmitMatch", 50400},
        {"JobManagement_SubmitAuthLoadMatch", "frmJobManagement_SubmitAuthLoadMatch", 50500},
        {"JobManagement_SubmitAuthLoadMerge", "frmJobManagement_SubmitAuthLoadMerge", 50600},
        {"JobManagement_SubmitAuthDbLoad", "frmJobManagement_SubmitAuthDbLoad", 50700},
        {"JobManagement_SubmitAuthLoadReconcile", "frmJobManagement_SubmitAuthLoadReconcile",
         50800},
        {"JobManagement_Scheduled", "frmJobManagement_Scheduled", 50900},
        {"JobManagement_Running", "frmJobManagement_Running", 51000},
        {"RuleGeneration_AuthLoadMatchRuleSets", "frmRuleSetGroups_AuthLoadMatch", 30500},
        {"RuleGeneration_AuthLoadMergeRuleSets", "frmRuleSetGroups_AuthLoadMerge", 30600},
        {"RuleGeneration_AuthLoadReconcileRuleSets", "frmRuleSetGroups_AuthLoadReconcile", 30700},
    };
    return table;
}

} // namespace

const ScreenEntry* FindScreenEntry(const QString& key) {
    for (const ScreenEntry& entry : entries())
        if (entry.key == key)
            return &entry;
    return nullptr;
}

} // namespace velumar
