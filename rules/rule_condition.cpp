#include "rule_condition.h"

#include "control_variables.h"

namespace rules {

void RuleCondition::Reset() {
    ControlField.clear();
    ControlVariable.clear();
    Field.clear();
    Subfields.clear();
    Conjunction.clear();
    Value1.clear();
    FirstDate.clear();
    SecondDate.clear();
    SourceField.clear();
    OwningLibraries.clear();
    ByteStart = -1;
    ByteEnd = -1;
    FieldOccurrence = kNoOccurrence;
    SubfieldOccurrence = kNoOccurrence;
    // assign(count, char): GCC 12 misreports operator=(const char*) here at -O3.
    Indicator1.assign(1, '#');
    Indicator2.assign(1, '#');
    Operator = condition_operator::None;
    DateRange = date_range::Before;
    IsFieldCondition = false;
    TargetHasAny = false;
    OwningLibraryIn = false;
}

bool RuleCondition::IsIgnorable() const {
    return Kind == condition_kind::Comment || Kind == condition_kind::Target || Kind == 0 ||
           HasError();
}

void RuleCondition::SetParseError(std::string_view line, std::string_view message) {
    ErrorText = tools_.FormatParseError(line, message);
}

std::string RuleCondition::NormalizeControlVariable(std::string_view name) const {
    if (const auto* variable = FindControlVariable(ControlField, name))
        return std::string(variable->name);
    return {};
}

bool RuleCondition::ControlVariableRange(std::string_view name) {
    const auto* variable = FindControlVariable(ControlField, name);
    if (!variable)
        return false;
    ByteStart = variable->start;
    ByteEnd = variable->end;
    ControlVariable.clear();
    return true;
}

} // namespace rules
