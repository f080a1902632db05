#pragma once
// One condition line of a rule: parsed from rule text, edited through its
// fields, and written back by Render. The server evaluates the text; here it
// is only read, checked and written.

#include "rule_tools.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace rules {

// Condition kinds.
namespace condition_kind {
inline constexpr std::int32_t FieldExists = 1;
inline constexpr std::int32_t FieldNxxExists = 2;
inline constexpr std::int32_t FieldNnxExists = 3;
inline constexpr std::int32_t ControlFieldExists = 4;
inline constexpr std::int32_t FieldHasAny = 5;
inline constexpr std::int32_t FieldValue = 6;
inline constexpr std::int32_t ControlFieldValue = 7;
inline constexpr std::int32_t CreateDate = 8;
inline constexpr std::int32_t CreatedBy = 9;
inline constexpr std::int32_t UpdateDate = 10;
inline constexpr std::int32_t UpdatedBy = 11;
inline constexpr std::int32_t OwningLibrary = 12;
inline constexpr std::int32_t Expression = 13;
inline constexpr std::int32_t NnxExpression = 14;
inline constexpr std::int32_t NxxExpression = 15;
inline constexpr std::int32_t ControlExpression = 16;
inline constexpr std::int32_t Comment = 17;
inline constexpr std::int32_t Target = 18;
inline constexpr std::int32_t OpacSuppress = 19;
inline constexpr std::int32_t FieldDoesNotHave = 20;
} // namespace condition_kind

// Comparison operators of the value forms.
namespace condition_operator {
inline constexpr std::int32_t None = 0;
inline constexpr std::int32_t Equals = 1;
inline constexpr std::int32_t DoesNotEqual = 2;
inline constexpr std::int32_t Contains = 3;
inline constexpr std::int32_t Between = 4;
inline constexpr std::int32_t DoesNotContain = 5;
inline constexpr std::int32_t StartsWith = 6;
} // namespace condition_operator

namespace date_range {
inline constexpr std::int32_t Before = 0;
inline constexpr std::int32_t After = 1;
inline constexpr std::int32_t Between = 2;
} // namespace date_range

inline constexpr std::string_view kCommentStatus = "This line is a comment.";
inline constexpr std::string_view kTargetStatus =
    "This line can only be modified by editing the matching consequence.";

class RuleCondition {
public:
    RuleCondition() { tools_.SetErrorPrefix(kConditionErrorPrefix); }

    std::string Text;
    std::int32_t Kind = condition_kind::FieldExists;
    std::string ControlField;
    std::string ControlVariable;
    std::int16_t ByteStart = -1;
    std::int16_t ByteEnd = -1;
    std::string Field;
    std::string Indicator1 = "#";
    std::string Indicator2 = "#";
    std::int32_t FieldOccurrence = kNoOccurrence;
    std::string Subfields;
    std::int32_t SubfieldOccurrence = kNoOccurrence;
    std::string Conjunction;
    std::int32_t LineIndex = 0;
    std::int32_t Operator = condition_operator::Equals;
    std::string Value1;
    std::int32_t DateRange = date_range::Before;
    std::string FirstDate;
    std::string SecondDate;
    std::string ErrorText;
    std::string SourceField;
    bool IsFieldCondition = false;
    bool TargetHasAny = false;
    std::string OwningLibraries;
    bool OwningLibraryIn = false;
    bool Suppressed = false;
    std::string Value2;

    // Parses one line of a rule. The conjunction is stored unless the line
    // is a comment or a target line.
    void ParseLine(std::string_view line, std::int32_t lineIndex,
                   std::string_view conjunction = {});
    // A bare MARC expression of the expression editor (kinds 13 to 16);
    // returns ErrorText.
    const std::string& ParseExpression(std::string_view text);
    // Rebuilds Text from the fields.
    void Render(std::optional<std::int32_t> lineIndex = std::nullopt);
    RuleCondition Clone() const { return *this; }
    void Reset();

    bool HasError() const { return !ErrorText.empty(); }
    // Comments, target lines, kind 0 and lines in error take no part in a rule's logic.
    bool IsIgnorable() const;
    void SetParseError(std::string_view line, std::string_view message);
    std::string Key() const { return std::to_string(LineIndex); }

    // The canonical name of a control variable of ControlField, or empty
    // when the name is not one of its variables.
    std::string NormalizeControlVariable(std::string_view name) const;
    // Replaces ControlVariable by its byte range; false when it names none.
    bool ControlVariableRange(std::string_view name);

    // Texts of the written form.
    std::string OperatorText() const;
    std::string DateRangeText() const;

    const RuleTools& Tools() const { return tools_; }

private:
    using Pos = std::size_t;

    void ParseFieldExists(std::string_view l, std::string_view line);
    void ParseControlFieldExists(std::string_view l);
    void ParseHasAny(std::string_view l, std::int32_t kind);
    bool ParseFieldPath(std::string_view l, Pos& cursor);
    void ParseFieldValue(std::string_view l, std::string_view line);
    void ParseFieldValueWith(std::string_view l, std::string_view line);
    void ParseOperator(std::string_view l, std::string_view line, Pos cursor);
    bool ParseControlReference(std::string_view l, Pos& cursor, Pos& operatorBlank,
                               std::int32_t kind);
    void ParseControlFieldValue(std::string_view l, std::string_view line);
    bool ParseByteRange(std::string_view l, std::string_view rangeText);
    void ParseDate(std::string_view l, std::int32_t kind);
    void ParseCataloger(std::string_view l, std::string_view line, std::int32_t kind);
    void ParseOwningLibrary(std::string_view line);
    void ParseOpacSuppress(std::string_view line);
    void ParseTarget(std::string_view l);
    void ParseReferenceTail(std::string_view l, std::string_view indicatorLine, Pos& cursor);

    void AppendReference(std::string& text) const;
    void AppendFieldReference(std::string& text) const;
    void AppendSubfieldPart(std::string& text) const;
    void AppendByteRange(std::string& text);
    void RenderFieldValue(std::string& text) const;

    RuleTools tools_;
};

} // namespace rules
