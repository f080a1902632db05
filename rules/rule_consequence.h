#pragma once
// One consequence of a rule: what the server changes in a record that meets
// the rule's conditions, or whether a scan includes it. Most consequences
// are one line; a Replace String consequence is a group of three, and a copy
// into an existing field is paired with a target line among the conditions.

#include "rule_tools.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace rules {

class RuleComponent;
class RuleCondition;

namespace consequence_kind {
inline constexpr std::int32_t RemoveControlField = 1;
inline constexpr std::int32_t RemoveField = 2;
inline constexpr std::int32_t SetSubfield = 3;
inline constexpr std::int32_t Copy = 4;
inline constexpr std::int32_t CopyDeprecated = 5;
inline constexpr std::int32_t ScanAction = 7;
inline constexpr std::int32_t ChangeMarc = 9;
inline constexpr std::int32_t AddControlField = 10;
inline constexpr std::int32_t AddField = 11;
inline constexpr std::int32_t AddSubfield = 12;
inline constexpr std::int32_t RecordDisposition = 13;
inline constexpr std::int32_t ReplaceAtPosition = 14;
inline constexpr std::int32_t ReplaceWithString = 15;
inline constexpr std::int32_t Comment = 17;
inline constexpr std::int32_t ChangeOwningLibrary = 18;
inline constexpr std::int32_t ExportOption = 19;
} // namespace consequence_kind

namespace export_option {
inline constexpr std::int32_t Unset = 1;
inline constexpr std::int32_t Set = 2;
inline constexpr std::int32_t ChangeDate = 3;
} // namespace export_option

// Marks a Replace String With String search string as plain text rather
// than a pattern.
inline constexpr std::string_view kLiteralSearchPrefix = "\\\\\\\\Q";

class RuleConsequence {
public:
    RuleConsequence() { tools_.SetErrorPrefix(kConsequenceErrorPrefix); }

    std::string Text;
    std::int32_t Kind = 0;
    bool ForNewField = false;
    std::string ControlField;
    std::string Field;
    std::string Indicator1 = "#";
    std::string Indicator2 = "#";
    std::int32_t FieldOccurrence = kNoOccurrence;
    std::string Subfield;
    std::int32_t SubfieldOccurrence = kNoOccurrence;
    std::string Value;
    std::int32_t VariableNumber = 0;
    std::int32_t ScanAction = 0;
    std::string Expression;
    std::int32_t Disposition = 0;
    std::int32_t ExportOption = 0;
    bool ChangeOwningLibrary = false;
    std::int32_t ToExisting = 0;
    std::string TargetRef;
    std::int32_t IndicatorNumber = 0;
    std::string TargetField;
    std::string TargetSubfield;
    std::string ErrorText;
    std::string SearchString;
    std::string ReplaceString;
    std::int32_t Position = 0;
    std::string DisplayText;
    bool IsPattern = false;
    bool SubfieldKeyword = false;
    std::string OrderSubfield;
    std::string OrderKeyword;
    std::string OrderOccurrence;
    std::int32_t OrderOccurrenceIndex = kNoOccurrence;
    std::vector<std::string> Lines;
    std::int32_t LineIndex = 0;
    RuleComponent* Rule = nullptr;
    RuleCondition* TargetCondition = nullptr;

    // Reads the consequence that starts at lines[cursor] and moves the
    // cursor past every line it consumed (three for a Replace String group).
    void ParseLines(std::span<const std::string_view> lines, std::size_t& cursor,
                    std::int32_t index);
    void ParseLines(std::span<const std::string> lines, std::size_t& cursor, std::int32_t index);
    // Rebuilds Lines from the fields; false for the kinds it does not write.
    bool Render();
    // Drops the paired target line from the rule.
    void ReleaseTarget();
    // Pairs with the rule's target line on the tag that leads the reference.
    void FindTargetCondition(std::string_view reference, std::string_view line);
    void SetForNewField(bool forNewField);

    RuleConsequence Clone() const { return *this; }
    bool HasError() const { return !ErrorText.empty(); }
    void SetParseError(std::string_view line, std::string_view message);
    std::string Key() const { return std::to_string(LineIndex); }

    // "MARC.control."008"" or "MARC."245"."a"": the field a Replace String works on.
    std::string FieldDescription() const;
    void UpdateDisplayText();

    const RuleTools& Tools() const { return tools_; }

private:
    using Pos = std::size_t;

    void Parse(std::span<const std::string_view> lines, std::size_t& cursor);
    void ParseRemoveControlField(std::string_view l);
    void ParseRemoveField(std::string_view l);
    void ParseSetSubfield(std::string_view l, std::string_view line);
    void ParseChangeMarc(std::string_view l);
    void ParseCreate(std::string_view l, std::string_view line);
    void ParseAddControlField(std::string_view l, std::string_view line);
    void ParseAddFieldOrSubfield(std::string_view l, std::string_view line);
    bool ParseValuePart(std::string_view l, std::string_view line, Pos& cursor);
    void ParseCopy(std::string_view l);
    void ParseCopyDeprecated(std::string_view l);
    void ParseScanAction(std::string_view l);
    void ParseDisposition(std::string_view l);
    void ParseReplaceGroup(std::span<const std::string_view> lines, std::size_t& cursor);
    bool ParseGroupField(std::string_view l, Pos& cursor);
    bool ParseSingleSubfield(std::string_view l, Pos& cursor, std::string_view required,
                             std::string_view single);

    std::string ValuePart() const;
    void RenderLines();

    RuleTools tools_;
    // Tag of a target line named in a copy that found none, so that the
    // line is written back as it was read.
    std::string unpairedTarget_;
};

} // namespace rules
