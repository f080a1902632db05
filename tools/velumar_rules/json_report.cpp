#include "json_report.h"

#include "line_status.h"
#include "rule_component.h"
#include "rule_document.h"

namespace velumar_rules {

Json ConditionFields(const rules::RuleCondition& c) {
    Json f;
    f["Text"] = c.Text;
    f["Kind"] = c.Kind;
    f["ControlField"] = c.ControlField;
    f["ControlVariable"] = c.ControlVariable;
    f["ByteStart"] = c.ByteStart;
    f["ByteEnd"] = c.ByteEnd;
    f["Field"] = c.Field;
    f["Indicator1"] = c.Indicator1;
    f["Indicator2"] = c.Indicator2;
    f["FieldOccurrence"] = c.FieldOccurrence;
    f["Subfields"] = c.Subfields;
    f["SubfieldOccurrence"] = c.SubfieldOccurrence;
    f["Conjunction"] = c.Conjunction;
    f["LineIndex"] = c.LineIndex;
    f["Operator"] = c.Operator;
    f["Value1"] = c.Value1;
    f["DateRange"] = c.DateRange;
    f["FirstDate"] = c.FirstDate;
    f["SecondDate"] = c.SecondDate;
    f["ErrorText"] = c.ErrorText;
    f["SourceField"] = c.SourceField;
    f["IsFieldCondition"] = c.IsFieldCondition;
    f["TargetHasAny"] = c.TargetHasAny;
    f["OwningLibraries"] = c.OwningLibraries;
    f["OwningLibraryIn"] = c.OwningLibraryIn;
    f["Suppressed"] = c.Suppressed;
    f["Value2"] = c.Value2;
    return f;
}

Json ConsequenceFields(const rules::RuleConsequence& q) {
    Json f;
    f["Text"] = q.Text;
    f["Kind"] = q.Kind;
    f["ForNewField"] = q.ForNewField;
    f["ControlField"] = q.ControlField;
    f["Field"] = q.Field;
    f["Indicator1"] = q.Indicator1;
    f["Indicator2"] = q.Indicator2;
    f["FieldOccurrence"] = q.FieldOccurrence;
    f["Subfield"] = q.Subfield;
    f["SubfieldOccurrence"] = q.SubfieldOccurrence;
    f["Value"] = q.Value;
    f["VariableNumber"] = q.VariableNumber;
    f["ScanAction"] = q.ScanAction;
    f["Expression"] = q.Expression;
    f["Disposition"] = q.Disposition;
    f["ExportOption"] = q.ExportOption;
    f["ChangeOwningLibrary"] = q.ChangeOwningLibrary;
    f["ToExisting"] = q.ToExisting;
    f["TargetRef"] = q.TargetRef;
    f["IndicatorNumber"] = q.IndicatorNumber;
    f["TargetField"] = q.TargetField;
    f["TargetSubfield"] = q.TargetSubfield;
    f["ErrorText"] = q.ErrorText;
    f["SearchString"] = q.SearchString;
    f["ReplaceString"] = q.ReplaceString;
    f["Position"] = q.Position;
    f["DisplayText"] = q.DisplayText;
    f["IsPattern"] = q.IsPattern;
    f["SubfieldKeyword"] = q.SubfieldKeyword;
    f["OrderSubfield"] = q.OrderSubfield;
    f["OrderKeyword"] = q.OrderKeyword;
    f["OrderOccurrence"] = q.OrderOccurrence;
    f["OrderOccurrenceIndex"] = q.OrderOccurrenceIndex;
    f["Lines"] = q.Lines;
    f["LineIndex"] = q.LineIndex;
    // References are given by what names them: the rule's name, the target line's key.
    f["Rule"] = q.Rule ? Json(q.Rule->Name) : Json(nullptr);
    f["TargetCondition"] = q.TargetCondition ? Json(q.TargetCondition->Key()) : Json(nullptr);
    return f;
}

Json ConditionReport(const rules::RuleCondition& condition) {
    Json out;
    out["key"] = condition.Key();
    out["kind"] = condition.Kind;
    out["text"] = condition.Text;
    out["error"] = condition.ErrorText;
    if (InError(condition)) {
        out["rendered"] = nullptr;
    } else {
        rules::RuleCondition clone = condition.Clone();
        clone.Render();
        out["rendered"] = clone.Text;
    }
    out["fields"] = ConditionFields(condition);
    return out;
}

Json ConsequenceReport(const rules::RuleConsequence& consequence) {
    Json out;
    out["key"] = consequence.Key();
    out["kind"] = consequence.Kind;
    out["lines"] = consequence.Lines;
    out["error"] = consequence.ErrorText;
    if (InError(consequence)) {
        out["rendered"] = nullptr;
    } else {
        // Cut loose from the rule: rendering may drop or rewrite the
        // rule's target line, and the report only looks.
        rules::RuleConsequence clone = consequence.Clone();
        clone.Rule = nullptr;
        clone.TargetCondition = nullptr;
        clone.Render();
        out["rendered"] = clone.Lines;
    }
    out["display"] = consequence.DisplayText;
    out["fields"] = ConsequenceFields(consequence);
    return out;
}

Json DocumentReport(const std::string& path, rules::RuleDocument& document) {
    Json out;
    out["path"] = path;
    out["header"] = document.HeaderText;
    Json rulesOut = Json::array();
    for (auto& rule : document.Rules) {
        Json r;
        r["name"] = rule.Name;
        r["priority"] = rule.Priority;
        r["summary"] = rule.Summary;
        Json conditions = Json::array();
        for (const auto& condition : rule.Conditions)
            conditions.push_back(ConditionReport(condition));
        Json consequences = Json::array();
        for (const auto& consequence : rule.Consequences)
            consequences.push_back(ConsequenceReport(consequence));
        r["conditions"] = std::move(conditions);
        r["consequences"] = std::move(consequences);
        rulesOut.push_back(std::move(r));
    }
    out["rules"] = std::move(rulesOut);
    return out;
}

} // namespace velumar_rules
