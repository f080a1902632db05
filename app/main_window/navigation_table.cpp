#include "main_window/navigation_table.h"

#include "security/security_profile.h"

namespace velumar {

namespace {

using P = const SecurityProfile&;

bool always(P) {
    return true;
}
bool recordSetsGroup(P p) {
    return p.RecordSetAddAny() || p.RecordSetUpdateAny() || p.RecordSetViewAny();
}
bool recordSetView(P p) {
    return p.RecordSetViewAny();
}
bool recordSetChange(P p) {
    return p.RecordSetAddAny() || p.RecordSetUpdateAny();
}
bool ruleView(P p) {
    return p.RuleViewAny();
}
bool dataChangeRules(P p) {
    return p.DCRV();
}
bool scanRules(P p) {
    return p.SRV();
}
bool preview(P p) {
    return p.RecordSetPreviewAny();
}
bool scanJob(P p) {
    return p.ScanJobAny() && p.RuleViewAny();
}
bool dataChangeJob(P p) {
    return p.DataChangeJobAny() && p.RuleViewAny() && p.RecordSetViewAny();
}
bool indexJob(P p) {
    return p.IndexJob();
}
bool matchJob(P p) {
    return p.RSBA() || p.RSBU() || p.RSAA() || p.RSAU();
}
bool authorityLoad(P p) {
    return p.AuthorityLoad();
}

constexpr KeptWhen never = nullptr;

NavigationItem item(const char* caption, const char* key, const char* menuName, KeptWhen kept,
                    NavigationGlyph glyph, const char* menuCaption = nullptr) {
    const QString shown = QString::fromLatin1(caption);
    return {shown,
            QString::fromLatin1(key),
            QString::fromLatin1(menuName),
            menuCaption ? QString::fromLatin1(menuCaption) : shown,
            kept,
            glyph};
}

std::vector<NavigationGroup> buildTable() {
    using G = NavigationGlyph;
    return {
        {QStringLiteral("Record Sets"),
         QStringLiteral("RecordSets"),
         QStringLiteral("mnuFunctionsRecordSets"),
         recordSetsGroup,
         G::Stack,
         {item("View/Edit", "RecordSets_View", "mnuFunctionsRecordSetsView", recordSetView,
               G::List),
          item("Search", "RecordSets_Search", "mnuFunctionsRecordSetsSearch", recordSetChange,
               G::Search),
          item("Specific Records", "RecordSets_Specific", "mnuFunctionsRecordSetsSpecificRecords",
               recordSetChange, G::Document)}},
        {QStringLiteral("Rules"),
         QStringLiteral("RuleGeneration"),
         QStringLiteral("mnuFunctionsRules"),
         ruleView,
         G::Pencil,
         {item("Data Change Rule Sets", "RuleGeneration_RuleDocuments",
               "mnuFunctionsRulesDataChangeRuleDocs", dataChangeRules, G::Pencil),
          item("Data Change Rule Set Groups", "RuleGeneration_RuleSets",
               "mnuFunctionsRulesDataChangeRuleSets", dataChangeRules, G::Stack),
          item("Scan Rule Sets", "RuleGeneration_ScanRuleDocs", "mnuFunctionsRulesScanRuleDocs",
               scanRules, G::Search),
          item("Scan Rule Set Groups", "RuleGeneration_ScanRuleSets",
               "mnuFunctionsRulesScanRuleSets", scanRules, G::Stack)}},
        {QStringLiteral("Preview"),
         QStringLiteral("Preview"),
         QStringLiteral("mnuFunctionsPreview"),
         preview,
         G::Eye,
         {item("Select Criteria", "Preview_Select", "mnuFunctionsPreviewSelectCriteria", preview,
               G::Eye)}},
        {QStringLiteral("Job Management"),
         QStringLiteral("JobManagement"),
         QStringLiteral("mnuFunctionsJobManagement"),
         always,
         G::Gear,
         {item("Submit Scan Job", "JobManagement_SubmitScan", "mnuFunctionsJobManagementSubmitScan",
               scanJob, G::Play),
          item("Submit Data Change Job", "JobManagement_SubmitChange",
               "mnuFunctionsJobManagementSubmitChange", dataChangeJob, G::Play),
          item("Submit Index Records Job", "JobManagement_SubmitIndex",
               "mnuFunctionsJobManagementSubmitIndex", indexJob, G::Play),
          item("Submit Match Job", "JobManagement_SubmitMatch",
               "mnuFunctionsJobManagementSubmitMatch", matchJob, G::Play),
          item("Submit Auth Load Match Job", "JobManagement_SubmitAuthLoadMatch",
               "mnuFunctionsJobManagementSubmitAuthLoadMatch", authorityLoad, G::Play),
          item("Submit Auth Load Merge Job", "JobManagement_SubmitAuthLoadMerge",
               "mnuFunctionsJobManagementSubmitAuthLoadMerge", authorityLoad, G::Play),
          item("Submit Auth DB Load Job", "JobManagement_SubmitAuthDbLoad",
               "mnuFunctionsJobManagementSubmitAuthDbLoad", never, G::Play,
               "Submit Auth Db Load Job"),
          item("Submit Auth Load Reconcile Job", "JobManagement_SubmitAuthLoadReconcile",
               "mnuFunctionsJobManagementSubmitAuthLoadReconcile", never, G::Play),
          item("View Job Queue", "JobManagement_Scheduled", "mnuFunctionsJobManagementViewQueue",
               always, G::Clock),
          item("View Running/Completed", "JobManagement_Running",
               "mnuFunctionsJobManagementViewRunning", always, G::Gear)}},
        {QStringLiteral("Authority Loading"),
         QStringLiteral("AuthLoad"),
         QStringLiteral("mnuFunctionsAuthLoad"),
         authorityLoad,
         G::Link,
         {item("Load Match Configuration", "RuleGeneration_AuthLoadMatchRuleSets",
               "mnuFunctionsAuthLoadMatch", authorityLoad, G::Link,
               "Auth Load Match Rule Set Groups"),
          item("Load Merge Configuration", "RuleGeneration_AuthLoadMergeRuleSets",
               "mnuFunctionsAuthLoadMerge", authorityLoad, G::Link,
               "Auth Load Merge Rule Set Groups"),
          item("Load Reconcile Configuration", "RuleGeneration_AuthLoadReconcileRuleSets",
               "mnuFunctionsAuthLoadReconcile", never, G::Link,
               "Auth Load Reconcile Rule Set Groups")}},
    };
}

} // namespace

const std::vector<NavigationGroup>& NavigationTable() {
    static const std::vector<NavigationGroup> table = buildTable();
    return table;
}

} // namespace velumar
