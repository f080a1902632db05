// Writing consequence lines from their fields, and the consequence's ties
// to its rule.
#include "rule_consequence.h"

#include "rule_component.h"
#include "rule_condition.h"

namespace rules {

namespace qk = consequence_kind;

namespace {

std::string_view ExportOptionText(std::int32_t option) {
    switch (option) {
    case export_option::Set:
        return "Set OK to Export";
    case export_option::Unset:
        return "Unset OK to Export";
    case export_option::ChangeDate:
        return "Change OK to Export Date";
    default:
        return {};
    }
}

constexpr std::string_view kDispositionWords[] = {
    "CHANGED",     "DELETE",     "DELETEALL",     "SUPPRESS",
    "SUPPRESSALL", "UNSUPPRESS", "UNSUPPRESSALL", "ERROR",
};

std::string Quoted(std::string_view value) {
    std::string out;
    out.reserve(value.size() + 2);
    out.append("\"").append(value).append("\"");
    return out;
}

} // namespace

void RuleConsequence::SetParseError(std::string_view line, std::string_view message) {
    ErrorText = tools_.FormatParseError(line, message);
}

void RuleConsequence::SetForNewField(bool forNewField) {
    ForNewField = forNewField;
    if (forNewField)
        SubfieldKeyword = false;
}

void RuleConsequence::ReleaseTarget() {
    if (TargetRef.empty())
        return;
    const std::string key = std::move(TargetRef);
    TargetRef.clear();
    TargetCondition = nullptr;
    if (Rule)
        Rule->RemoveCondition(key);
}

std::string RuleConsequence::FieldDescription() const {
    std::string out = "MARC.";
    if (!ControlField.empty())
        out.append("control.\"").append(ControlField);
    else
        out.append("\"").append(Field).append("\".\"").append(Subfield);
    out.append("\"");
    return out;
}

void RuleConsequence::UpdateDisplayText() {
    if (Kind == qk::ReplaceAtPosition || Kind == qk::ReplaceWithString) {
        DisplayText = Kind == qk::ReplaceAtPosition ? "replace string by position ("
                                                    : "replace string by string (";
        DisplayText.append(FieldDescription())
            .append("\", \"")
            .append(SearchString)
            .append("\", \"")
            .append(Kind == qk::ReplaceAtPosition ? std::to_string(Position) : ReplaceString)
            .append("\")");
        return;
    }
    DisplayText = Lines.empty() ? std::string() : Lines.front();
}

std::string RuleConsequence::ValuePart() const {
    if (!Value.empty())
        return Quoted(Value);
    if (VariableNumber > 0)
        return "TEMP" + Quoted(std::to_string(VariableNumber));
    return Expression;
}

bool RuleConsequence::Render() {
    switch (Kind) {
    case qk::RemoveControlField:
    case qk::RemoveField:
    case qk::SetSubfield:
    case qk::Copy:
    case qk::CopyDeprecated:
    case qk::ScanAction:
    case qk::ChangeMarc:
    case qk::AddControlField:
    case qk::AddField:
    case qk::AddSubfield:
    case qk::RecordDisposition:
    case qk::ReplaceAtPosition:
    case qk::ReplaceWithString:
    case qk::ChangeOwningLibrary:
    case qk::ExportOption:
        break;
    default:
        return false;
    }
    // Only a copy into an existing field keeps a target line.
    if (Kind != qk::Copy)
        ReleaseTarget();
    Lines.clear();
    RenderLines();
    UpdateDisplayText();
    return true;
}

void RuleConsequence::RenderLines() {
    std::string line;
    switch (Kind) {
    case qk::RemoveControlField:
        line = "remove MARC.control." + Quoted(ControlField);
        break;
    case qk::RemoveField:
        line = "remove MARC." + Quoted(Field);
        if (!Subfield.empty())
            line += " subfield " + Quoted(Subfield);
        break;
    case qk::SetSubfield:
        line = "set MARC." + Quoted(Field) + "." + Quoted(Subfield) + " to " + ValuePart();
        break;
    case qk::ChangeMarc:
        if (!TargetSubfield.empty()) {
            line = "Set MARC subfield " + Quoted(Field) + " " + Quoted(Subfield) + " to " +
                   Quoted(TargetSubfield);
        } else if (IndicatorNumber < 1) {
            line = "Set MARC field " + Quoted(Field) + "  to " + Quoted(TargetField);
        } else {
            line = "Set MARC indicator " + Quoted(Field) + " " +
                   Quoted(std::to_string(IndicatorNumber)) + " to " +
                   Quoted(Indicator1.empty() ? std::string_view(" ") : Indicator1);
        }
        break;
    case qk::AddControlField:
        line = "create MARC.control." + Quoted(ControlField) + " with " + Quoted(Value);
        break;
    case qk::AddField:
        line = "create MARC." + Quoted(Field);
        RuleTools::AppendOccurrence(line, FieldOccurrence);
        RuleTools::AppendConsequenceIndicators(line, Indicator1, Indicator2);
        break;
    case qk::AddSubfield:
        line = "create MARC." + Quoted(Field);
        if (!SubfieldKeyword)
            RuleTools::AppendConditionIndicators(line, Indicator1, Indicator2);
        line += ForNewField || SubfieldKeyword ? " subfield " : ".";
        line += Quoted(Subfield) + " with " + ValuePart();
        if (!OrderSubfield.empty()) {
            line += " " + OrderKeyword + " " + Quoted(OrderSubfield);
            // A placement read without an occurrence is written back without one.
            if (!OrderOccurrence.empty())
                line += "[" + Quoted(OrderOccurrence) + "]";
        }
        break;
    case qk::Copy:
        line = "copy MARC " + Quoted(Field);
        if (!Subfield.empty())
            line += "." + Quoted(Subfield);
        if (ToExisting == 0) {
            line += " to new " + Quoted(TargetField);
            if (!TargetSubfield.empty())
                line += "." + Quoted(TargetSubfield);
        } else {
            line += " to existing " +
                    Quoted((TargetCondition ? TargetCondition->Field : unpairedTarget_) + "t");
            if (TargetCondition)
                TargetCondition->Render();
        }
        if (Subfield.empty())
            line += " all";
        break;
    case qk::CopyDeprecated:
        line = "copy MARC " + Quoted(Field);
        if (!Subfield.empty())
            line += "." + Quoted(Subfield);
        line += " to ";
        if (Subfield.empty()) {
            line += Quoted(TargetField);
        } else if (!TargetField.empty() && !TargetSubfield.empty()) {
            line += Quoted(TargetField);
            RuleTools::AppendConditionIndicators(line, Indicator1, Indicator2);
            line += "." + Quoted(TargetSubfield);
        } else if (!TargetField.empty()) {
            line += "field " + Quoted(TargetField);
            RuleTools::AppendConditionIndicators(line, Indicator1, Indicator2);
        } else if (!TargetSubfield.empty()) {
            line += "subfield " + Quoted(TargetSubfield);
        }
        break;
    case qk::ScanAction:
        line = ScanAction == 1 ? "EXCLUDE" : "INCLUDE";
        break;
    case qk::RecordDisposition:
        if (Disposition >= 0 && Disposition <= 7)
            line = kDispositionWords[Disposition];
        break;
    case qk::ReplaceAtPosition:
    case qk::ReplaceWithString: {
        const std::string variable = "TEMP" + Quoted(std::to_string(VariableNumber));
        Lines.push_back("set " + variable + " to " + FieldDescription());
        if (Kind == qk::ReplaceAtPosition) {
            Lines.push_back("replace string by position (" + variable + "," + Quoted(SearchString) +
                            "," + Quoted(std::to_string(Position)) + ")");
        } else {
            const std::string search =
                IsPattern ? SearchString : std::string(kLiteralSearchPrefix) + SearchString;
            Lines.push_back("replace string by string (" + variable + "," + Quoted(search) + "," +
                            Quoted(ReplaceString) + ")");
        }
        Lines.push_back("set " + FieldDescription() + " to " + variable);
        return;
    }
    case qk::ChangeOwningLibrary:
        line = "Change owning library";
        if (!ExportOptionText(ExportOption).empty())
            line += ", ";
        break;
    case qk::ExportOption:
        line = ExportOptionText(ExportOption);
        break;
    default:
        return;
    }
    Lines.push_back(std::move(line));
}

} // namespace rules
