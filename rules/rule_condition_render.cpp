// Writing condition lines from their fields.
#include "rule_condition.h"

namespace rules {

namespace ck = condition_kind;
namespace op = condition_operator;

std::string RuleCondition::OperatorText() const {
    std::string_view word;
    switch (Operator) {
    case op::Equals:
        word = " equals \"";
        break;
    case op::DoesNotEqual:
        word = " does not equal \"";
        break;
    case op::Contains:
        word = " contains \"";
        break;
    case op::DoesNotContain:
        word = " does not contain \"";
        break;
    case op::StartsWith:
        word = " starts with \"";
        break;
    case op::Between:
        return " between \"" + Value1 + "\" and \"" + Value2 + "\"";
    default:
        return {};
    }
    return std::string(word) + Value1 + "\"";
}

std::string RuleCondition::DateRangeText() const {
    switch (DateRange) {
    case date_range::Before:
        return "before \"" + FirstDate + "\"";
    case date_range::After:
        return "after \"" + FirstDate + "\"";
    case date_range::Between:
        return "between \"" + FirstDate + "\" and \"" + SecondDate + "\"";
    default:
        return {};
    }
}

// Tag, closing quote, indicators and field occurrence.
void RuleCondition::AppendFieldReference(std::string& text) const {
    text.append(Field).append(token::Quote);
    RuleTools::AppendConditionIndicators(text, Indicator1, Indicator2, true);
    RuleTools::AppendOccurrence(text, FieldOccurrence);
}

void RuleCondition::AppendSubfieldPart(std::string& text) const {
    if (Subfields.empty())
        return;
    text.append(token::SubfieldLead).append(Subfields).append(token::Quote);
    RuleTools::AppendOccurrence(text, SubfieldOccurrence);
}

void RuleCondition::AppendReference(std::string& text) const {
    AppendFieldReference(text);
    AppendSubfieldPart(text);
}

// A control variable is always written as its byte range.
void RuleCondition::AppendByteRange(std::string& text) {
    if (!ControlVariable.empty())
        ControlVariableRange(ControlVariable);
    if (ControlVariable.empty() && ByteStart >= 0 && ByteEnd >= 0) {
        text.append(token::IndicatorsOpen)
            .append(std::to_string(ByteStart))
            .append(token::Separator)
            .append(std::to_string(ByteEnd))
            .append(token::IndicatorsClose);
    }
}

void RuleCondition::RenderFieldValue(std::string& text) const {
    // The word operators have a form of their own, which may name no field
    // ("MARC contains "x"": any field); the others always write a reference.
    const bool wordForm =
        Operator == op::Contains || Operator == op::DoesNotContain || Operator == op::StartsWith;
    if (wordForm) {
        text = "MARC";
        if (!Field.empty()) {
            text += " with ";
            if (!Subfields.empty()) {
                if (RuleTools::IndicatorsSpecified(Indicator1, Indicator2))
                    text += "indicator ";
                text += "subfield ";
            }
            text.append(token::Quote);
            AppendReference(text);
        }
        text += OperatorText();
        return;
    }
    text = Operator == op::Between ? "MARC range \"" : "MARC.\"";
    AppendReference(text);
    text += OperatorText();
    if (!SourceField.empty())
        text.append(" from MARC.\"").append(SourceField).append(token::Quote);
}

void RuleCondition::Render(std::optional<std::int32_t> lineIndex) {
    IsFieldCondition = false;
    if (lineIndex)
        LineIndex = *lineIndex;
    if (Kind < 1 || Kind > 20)
        return;

    std::string text;
    switch (Kind) {
    case ck::FieldExists:
        text = "MARC is \"";
        AppendReference(text);
        break;
    case ck::FieldNxxExists:
        text = "MARC is \"" + Field.substr(0, 1) + "\"XX";
        break;
    case ck::FieldNnxExists:
        text = "MARC is \"" + Field.substr(0, 2) + "\"X";
        break;
    case ck::ControlFieldExists:
        text = "MARC.control is \"" + ControlField + "\"";
        if (!ControlVariable.empty())
            text += "." + ControlVariable;
        break;
    case ck::FieldHasAny:
    case ck::FieldDoesNotHave:
        text = "MARC.\"";
        AppendFieldReference(text);
        text += Kind == ck::FieldHasAny ? " has any \"" : " does not have any \"";
        text += Subfields + "\"";
        break;
    case ck::FieldValue:
        RenderFieldValue(text);
        break;
    case ck::ControlFieldValue:
    case ck::ControlExpression:
        text = "MARC.control.\"" + ControlField + "\"";
        AppendByteRange(text);
        text += OperatorText();
        break;
    case ck::CreateDate:
        text = "Created " + DateRangeText();
        break;
    case ck::CreatedBy:
        text = "Created by \"" + Value1 + "\"";
        break;
    case ck::UpdateDate:
        text = "Updated " + DateRangeText();
        break;
    case ck::UpdatedBy:
        text = "Updated by \"" + Value1 + "\"";
        break;
    case ck::OwningLibrary:
        // The list as held: the editor's carries its quotes, a parsed one
        // only what lay between them.
        text = OwningLibraryIn ? "MARC.owningLibrary in " : "MARC.owningLibrary not in ";
        text += OwningLibraries;
        break;
    case ck::Expression:
        text = "MARC.\"";
        AppendReference(text);
        break;
    case ck::NnxExpression:
    case ck::NxxExpression:
    case ck::Comment:
        return;
    case ck::Target:
        text = "TARGET MARC is \"" + Field + "\"";
        RuleTools::AppendConditionIndicators(text, Indicator1, Indicator2, true);
        if (!TargetHasAny) {
            RuleTools::AppendOccurrence(text, FieldOccurrence);
            AppendSubfieldPart(text);
        } else if (!Subfields.empty()) {
            text += " has any \"" + Subfields + "\"";
        }
        ErrorText = kTargetStatus;
        break;
    case ck::OpacSuppress:
        text = Suppressed ? "MARC.opacsuppress is suppressed" : "MARC.opacsuppress is unsuppressed";
        break;
    default:
        return;
    }
    Text = std::move(text);
    IsFieldCondition = Kind == ck::FieldExists || Kind == ck::FieldNxxExists ||
                       Kind == ck::FieldNnxExists || Kind == ck::FieldHasAny ||
                       Kind == ck::FieldValue || Kind == ck::FieldDoesNotHave;
}

} // namespace rules
