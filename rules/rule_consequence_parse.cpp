// Reading consequence lines. Tags, codes, keywords, variable numbers and the
// new values of Change MARC come from a lower-cased copy of the line; the
// values of Set Subfield, Add MARC Control Field and Add MARC Subfield and
// the strings of Replace String are read from the line as written.
#include "line_text.h"
#include "rule_component.h"
#include "rule_condition.h"
#include "rule_consequence.h"

#include <array>
#include <limits>

namespace rules {

using text::At;
using text::Find;
using text::Inside;
using text::Mid;
using text::StartsAt;
namespace qk = consequence_kind;

namespace {

constexpr std::int64_t kInt32Max = std::numeric_limits<std::int32_t>::max();

// One or more blanks and then "to ": the cursor moves past them.
bool SkipTo(std::string_view l, std::size_t& cursor) {
    std::size_t at = cursor;
    while (At(l, at) == ' ')
        ++at;
    if (at == cursor || Mid(l, at, 3) != "to ")
        return false;
    cursor = at + 3;
    return true;
}

// End of a MARC expression used as a value: the first blank outside quotes.
std::size_t ExpressionEnd(std::string_view line, std::size_t cursor) {
    bool quoted = false;
    for (; Inside(line, cursor); ++cursor) {
        const char c = At(line, cursor);
        if (c == '"')
            quoted = !quoted;
        else if (c == ' ' && !quoted)
            break;
    }
    return cursor;
}

struct DispositionWord {
    std::string_view word;
    std::int32_t disposition;
};

constexpr std::array<DispositionWord, 8> kDispositions{{
    {"changed", 0},
    {"delete", 1},
    {"deleteall", 2},
    {"suppress", 3},
    {"suppressall", 4},
    {"unsuppress", 5},
    {"unsuppressall", 6},
    {"error", 7},
}};

} // namespace

void RuleConsequence::ParseLines(std::span<const std::string> lines, std::size_t& cursor,
                                 std::int32_t index) {
    std::vector<std::string_view> views(lines.begin(), lines.end());
    ParseLines(std::span<const std::string_view>(views), cursor, index);
}

void RuleConsequence::ParseLines(std::span<const std::string_view> lines, std::size_t& cursor,
                                 std::int32_t index) {
    LineIndex = index;
    if (cursor >= lines.size())
        return;
    Text.assign(lines[cursor]);
    Lines.push_back(Text);
    ++cursor;
    Parse(lines, cursor);
    UpdateDisplayText();
}

void RuleConsequence::Parse(std::span<const std::string_view> lines, std::size_t& cursor) {
    const std::string_view written = Text;
    // The group reads its three lines into copies of its own.
    const std::string_view l = text::LowerScratch(written);
    const auto starts = [l](std::string_view prefix) { return l.starts_with(prefix); };

    if (starts("remove marc.control")) {
        Kind = qk::RemoveControlField;
        ParseRemoveControlField(l);
    } else if (starts("remove marc.")) {
        Kind = qk::RemoveField;
        ParseRemoveField(l);
    } else if (starts("set marc.")) {
        Kind = qk::SetSubfield;
        ParseSetSubfield(l, written);
    } else if (starts("set marc ")) {
        Kind = qk::ChangeMarc;
        ParseChangeMarc(l);
    } else if (starts("set temp")) {
        ParseReplaceGroup(lines, cursor);
    } else if (starts("create marc.")) {
        ParseCreate(l, written);
    } else if (starts("include") || starts("exclude")) {
        Kind = qk::ScanAction;
        ParseScanAction(l);
    } else if (starts("changed") || starts("delete") || starts("suppress") ||
               starts("unsuppress") || starts("error")) {
        Kind = qk::RecordDisposition;
        ParseDisposition(l);
    } else if (starts("replace string by position") || starts("replace string by string")) {
        SetParseError(l, "'replace string by' must be preceeded by a valid variable definition.");
    } else if (starts("copy marc ")) {
        if (l.find("to existing") != std::string_view::npos) {
            Kind = qk::Copy;
            ToExisting = 1;
            ParseCopy(l);
        } else if (l.find("to new ") != std::string_view::npos) {
            Kind = qk::Copy;
            ToExisting = 0;
            ParseCopy(l);
        } else {
            Kind = qk::CopyDeprecated;
            ParseCopyDeprecated(l);
        }
    } else if (starts("#") || starts(">")) {
        Kind = qk::Comment;
        ErrorText = "This line is a comment.";
    } else if (starts("change owning")) {
        Kind = qk::ChangeOwningLibrary;
        ChangeOwningLibrary = true;
    } else if (starts("set ok")) {
        Kind = qk::ExportOption;
        ExportOption = export_option::Set;
    } else if (starts("unset ok")) {
        Kind = qk::ExportOption;
        ExportOption = export_option::Unset;
    } else if (starts("change ok")) {
        Kind = qk::ExportOption;
        ExportOption = export_option::ChangeDate;
    } else {
        SetParseError(l, "unknown consequence phrase.");
    }
}

void RuleConsequence::ParseRemoveControlField(std::string_view l) {
    Pos cursor = 19;
    const std::string_view tag = tools_.ParseFieldTag(l, cursor, ErrorText);
    if (HasError())
        return;
    if (!RuleTools::IsControlField(tag)) {
        SetParseError(l, "invalid control field");
        return;
    }
    ControlField = text::ToUpper(tag);
}

// Indicators and occurrences are read so that the line is understood, but
// the written form carries only the tag and the subfield.
void RuleConsequence::ParseRemoveField(std::string_view l) {
    Pos cursor = 12;
    Field.assign(tools_.ParseFieldTag(l, cursor, ErrorText));
    if (HasError() || !Inside(l, cursor))
        return;
    tools_.ParseIndicators(l, cursor, ErrorText, Indicator1, Indicator2);
    if (HasError())
        return;
    tools_.ParseOccurrence(l, cursor, ErrorText, FieldOccurrence);
    if (HasError())
        return;
    if (Mid(l, cursor, 10) == " subfield ")
        SubfieldKeyword = true;
    if (Inside(l, cursor))
        tools_.ParseSubfield(l, cursor, ErrorText, Subfield, SubfieldOccurrence);
}

bool RuleConsequence::ParseSingleSubfield(std::string_view l, Pos& cursor,
                                          std::string_view required, std::string_view single) {
    if (At(l, cursor) == '.') {
        tools_.ParseSubfield(l, cursor, ErrorText, Subfield, SubfieldOccurrence);
        if (HasError())
            return false;
    }
    if (Subfield.empty()) {
        SetParseError(l, required);
        return false;
    }
    if (Subfield.size() > 1) {
        SetParseError(l, single);
        return false;
    }
    return true;
}

void RuleConsequence::ParseSetSubfield(std::string_view l, std::string_view line) {
    Pos cursor = 0;
    if (const Pos control = Find(l, "marc.control.", 4); control != 0) {
        cursor = control + 13;
        const std::string_view tag = tools_.ParseFieldTag(l, cursor, ErrorText);
        if (HasError())
            return;
        if (!RuleTools::IsControlField(tag)) {
            SetParseError(l, "invalid control field");
            return;
        }
        ControlField = text::ToUpper(tag);
    } else {
        cursor = 10;
        const std::string_view tag = tools_.ParseFieldTag(l, cursor, ErrorText);
        if (HasError())
            return;
        if (!text::IsDigits(tag)) {
            SetParseError(l, "invalid field");
            return;
        }
        Field.assign(tag);
    }
    if (!ParseSingleSubfield(l, cursor, "subfield is required", "single subfield is required"))
        return;
    if (!SkipTo(l, cursor)) {
        SetParseError(l, "no 'to' in consequence");
        return;
    }
    if (StartsAt(l, cursor, "marc.")) {
        SetParseError(l, "set MARC component to MARC expression is not currently supported.");
    } else if (StartsAt(l, cursor, "temp\"")) {
        cursor += 4;
        const std::string_view number = tools_.ParseQuotedString(l, cursor, ErrorText);
        if (HasError())
            return;
        VariableNumber = RuleTools::ParseVariableNumber(number, ErrorText);
        if (HasError())
            return;
        // Temporary variables live only inside a Replace String group.
        if (LineIndex != 0)
            SetParseError(l, "set MARC component to variable is currently only supported as part "
                             "of a 'replace string by' operation.");
    } else if (At(l, cursor) == '"') {
        Value.assign(tools_.ParseQuotedString(line, cursor, ErrorText));
    } else {
        SetParseError(l, "value or variable or MARC expression is required");
    }
}

void RuleConsequence::ParseChangeMarc(std::string_view l) {
    const std::string_view rest = Mid(l, 10);
    const std::string_view word = rest.substr(0, rest.find_first_of(" \""));
    Pos cursor = 0;
    if (word == "field") {
        cursor = 15;
    } else if (word == "subfield") {
        cursor = 18;
    } else if (word == "indicator") {
        cursor = 19;
    } else {
        SetParseError(l, "invalid indication of component to set");
        return;
    }
    Field.assign(tools_.ParseFieldTag(l, cursor, ErrorText));
    if (HasError())
        return;
    if (word == "subfield") {
        tools_.ParseSubfield(l, cursor, ErrorText, Subfield, SubfieldOccurrence);
        if (HasError())
            return;
        if (Subfield.size() != 1) {
            SetParseError(l, "invalid subfield length");
            return;
        }
    } else if (word == "indicator") {
        const std::string_view pointer = tools_.ParseQuotedString(l, cursor, ErrorText);
        if (HasError())
            return;
        const auto number = text::ToNumber(pointer, kInt32Max);
        if (!number) {
            SetParseError(l, "invalid indicator pointer");
            return;
        }
        IndicatorNumber = static_cast<std::int32_t>(*number);
    }
    if (!SkipTo(l, cursor)) {
        SetParseError(l, "no 'to' in consequence");
        return;
    }
    const std::string_view value = tools_.ParseQuotedString(l, cursor, ErrorText);
    if (HasError())
        return;
    if (word == "subfield")
        TargetSubfield.assign(value);
    else if (word == "indicator")
        Indicator1.assign(value);
    else
        TargetField.assign(value);
}

void RuleConsequence::ParseCreate(std::string_view l, std::string_view line) {
    if (Mid(l, 12, 8) == ".control")
        ParseAddControlField(l, line);
    else
        ParseAddFieldOrSubfield(l, line);
}

void RuleConsequence::ParseAddControlField(std::string_view l, std::string_view line) {
    Kind = qk::AddControlField;
    Pos cursor = 20;
    const std::string_view tag = tools_.ParseFieldTag(l, cursor, ErrorText);
    if (HasError())
        return;
    if (!RuleTools::IsControlField(tag)) {
        SetParseError(l, "invalid control field.");
        return;
    }
    ControlField = text::ToUpper(tag);
    if (Find(l, '"', cursor) == 0) {
        SetParseError(l, "invalid value.");
        return;
    }
    Value.assign(tools_.ParseQuotedString(line, cursor, ErrorText));
}

void RuleConsequence::ParseAddFieldOrSubfield(std::string_view l, std::string_view line) {
    Pos cursor = 12;
    Field.assign(tools_.ParseFieldTag(l, cursor, ErrorText));
    if (HasError())
        return;
    // In this form the occurrence comes before the indicators.
    const bool fieldOccurrence = tools_.ParseOccurrence(l, cursor, ErrorText, FieldOccurrence);
    if (HasError())
        return;
    tools_.ParseIndicators(l, cursor, ErrorText, Indicator1, Indicator2);
    if (HasError())
        return;
    if (At(l, cursor) == '.') {
        Kind = qk::AddSubfield;
    } else if (Mid(l, cursor, 10) == " subfield ") {
        Kind = qk::AddSubfield;
        SubfieldKeyword = Indicator1 == "#" && Indicator2 == "#";
    } else {
        Kind = qk::AddField;
        return;
    }

    if (fieldOccurrence) {
        SetParseError(l, "field occurrences are not yet supported for 'Add MARC Subfield' rules.");
        return;
    }
    tools_.ParseSubfield(l, cursor, ErrorText, Subfield, SubfieldOccurrence);
    if (HasError())
        return;
    if (Subfield.empty()) {
        SetParseError(l, "subfield is required.");
        return;
    }
    if (Subfield.size() > 1) {
        SetParseError(l, "single subfield is required.");
        return;
    }
    if (SubfieldOccurrence != kNoOccurrence) {
        SetParseError(l,
                      "subfield occurrences are not yet supported for 'Add MARC Subfield' rules.");
        return;
    }
    // Past " with ", unread.
    cursor += 6;
    if (!ParseValuePart(l, line, cursor))
        return;

    // Optional placement: after "b"["0"].
    if (!Inside(l, cursor))
        return;
    OrderKeyword.assign(tools_.ParseSubfieldOrderKeyword(l, cursor, ErrorText));
    if (HasError())
        return;
    tools_.ParseSubfield(l, cursor, ErrorText, OrderSubfield, OrderOccurrenceIndex);
    if (HasError())
        return;
    if (OrderOccurrenceIndex != kNoOccurrence)
        OrderOccurrence = std::to_string(OrderOccurrenceIndex);
}

bool RuleConsequence::ParseValuePart(std::string_view l, std::string_view line, Pos& cursor) {
    if (StartsAt(l, cursor, "marc.")) {
        const Pos end = ExpressionEnd(line, cursor);
        Expression.assign(text::Span(line, cursor, end - 1));
        cursor = end;
        return true;
    }
    if (StartsAt(l, cursor, "temp\"")) {
        cursor += 4;
        const std::string_view number = tools_.ParseQuotedString(l, cursor, ErrorText);
        if (HasError())
            return false;
        if (number.empty()) {
            SetParseError(l, "required variable not found");
            return false;
        }
        VariableNumber = RuleTools::ParseVariableNumber(number, ErrorText);
        return !HasError();
    }
    if (At(l, cursor) == '"') {
        std::string malformed;
        Value.assign(tools_.ParseQuotedString(line, cursor, malformed));
        if (!malformed.empty()) {
            SetParseError(l, "invalid value.");
            return false;
        }
        return true;
    }
    SetParseError(l, "value or variable or MARC expression is required");
    return false;
}

void RuleConsequence::ParseCopy(std::string_view l) {
    Pos cursor = 11;
    Field.assign(tools_.ParseFieldTag(l, cursor, ErrorText));
    if (HasError())
        return;
    if (At(l, cursor) == '.') {
        tools_.ParseSubfield(l, cursor, ErrorText, Subfield, SubfieldOccurrence);
        if (HasError())
            return;
        if (Subfield.size() > 1) {
            SetParseError(l, "multiple subfields are not allowed.");
            return;
        }
    }
    const std::string_view target = ToExisting == 1 ? "existing " : "new ";
    if (!SkipTo(l, cursor) || !StartsAt(l, cursor, target)) {
        SetParseError(l, "invalid copy MARC format.");
        return;
    }
    cursor += target.size();
    if (ToExisting == 0) {
        TargetField.assign(tools_.ParseFieldTag(l, cursor, ErrorText));
        if (HasError())
            return;
        if (At(l, cursor) == '.') {
            std::int32_t occurrence = kNoOccurrence;
            tools_.ParseSubfield(l, cursor, ErrorText, TargetSubfield, occurrence);
        }
        return;
    }
    // The target is written as its tag followed by "t": "245t".
    const std::string_view reference = tools_.ParseFieldRef(l, cursor, ErrorText);
    if (HasError())
        return;
    if (reference.size() != 4) {
        SetParseError(l, "invalid target field.");
        return;
    }
    FindTargetCondition(reference, l);
}

void RuleConsequence::ParseCopyDeprecated(std::string_view l) {
    Pos cursor = 11;
    Field.assign(tools_.ParseFieldTag(l, cursor, ErrorText));
    if (HasError())
        return;
    const auto singleSubfield = [this, l](Pos& at, std::string& codes) {
        std::int32_t occurrence = kNoOccurrence;
        tools_.ParseSubfield(l, at, ErrorText, codes, occurrence);
        if (!HasError() && codes.size() > 1)
            SetParseError(l, "multiple subfields are not allowed.");
        return !HasError();
    };
    if (At(l, cursor) == '.' && !singleSubfield(cursor, Subfield))
        return;
    if (!SkipTo(l, cursor)) {
        SetParseError(l, "invalid copy MARC format.");
        return;
    }
    if (!Subfield.empty() && StartsAt(l, cursor, "subfield ")) {
        cursor += 9;
        if (!singleSubfield(cursor, TargetSubfield))
            return;
        if (TargetSubfield.empty())
            SetParseError(l, "invalid copy MARC format.");
        return;
    }
    const bool fieldWord = StartsAt(l, cursor, "field ");
    if (fieldWord)
        cursor += 6;
    TargetField.assign(tools_.ParseFieldTag(l, cursor, ErrorText));
    if (HasError() || Subfield.empty())
        return;
    tools_.ParseIndicators(l, cursor, ErrorText, Indicator1, Indicator2);
    if (HasError() || fieldWord)
        return;
    if (At(l, cursor) == '.')
        singleSubfield(cursor, TargetSubfield);
}

void RuleConsequence::ParseScanAction(std::string_view l) {
    const std::string_view word = text::Trim(l);
    if (word == "exclude")
        ScanAction = 1;
    else if (word == "include")
        ScanAction = 0;
    else
        SetParseError(l, "invalid scan action.");
}

void RuleConsequence::ParseDisposition(std::string_view l) {
    const std::string_view word = text::Trim(l);
    for (const auto& [name, disposition] : kDispositions) {
        if (word == name) {
            Disposition = disposition;
            return;
        }
    }
    SetParseError(l, "invalid record disposition.");
}

// set TEMP"n" to MARC."245"."a" / replace string by ... / set MARC."245"."a" to TEMP"n"
void RuleConsequence::ParseReplaceGroup(std::span<const std::string_view> lines,
                                        std::size_t& cursor) {
    const std::string lower1 = text::ToLower(Text);
    const std::string_view l1 = lower1;
    Pos at = 9;
    const std::string_view number = tools_.ParseQuotedString(l1, at, ErrorText);
    if (HasError())
        return;
    VariableNumber = RuleTools::ParseVariableNumber(number, ErrorText);
    if (HasError())
        return;
    if (!SkipTo(l1, at)) {
        SetParseError(l1, "variable improperly defined (no 'to')");
        return;
    }
    if (!ParseGroupField(l1, at))
        return;
    if (lines.size() < cursor + 2) {
        SetParseError(l1, "invalid Replace String By definition");
        return;
    }

    const std::string_view line2 = lines[cursor];
    const std::string lower2 = text::ToLower(line2);
    const std::string_view l2 = lower2;
    if (l2.starts_with("replace string by position")) {
        Kind = qk::ReplaceAtPosition;
    } else if (l2.starts_with("replace string by string")) {
        Kind = qk::ReplaceWithString;
    } else {
        SetParseError(l2, "not a 'replace by' consequence");
        return;
    }
    Lines.emplace_back(line2);
    ++cursor;
    at = Find(l2, "(temp");
    if (at == 0) {
        SetParseError(l2, "invalid variable definition");
        return;
    }
    const std::string_view number2 = tools_.ParseQuotedString(l2, at, ErrorText);
    if (HasError())
        return;
    const std::int32_t variable2 = RuleTools::ParseVariableNumber(number2, ErrorText);
    if (HasError())
        return;
    if (variable2 != VariableNumber) {
        SetParseError(l2, "variable in 'replace by' does not match preceding variable definition");
        return;
    }
    const std::string_view search = tools_.ParseQuotedString(line2, at, ErrorText);
    if (HasError())
        return;
    if (search.empty()) {
        SetParseError(l2, "missing string value");
        return;
    }
    IsPattern = !search.starts_with(kLiteralSearchPrefix);
    SearchString.assign(IsPattern ? search : search.substr(kLiteralSearchPrefix.size()));
    if (Kind == qk::ReplaceAtPosition) {
        const std::string_view position = tools_.ParseQuotedString(line2, at, ErrorText);
        if (HasError())
            return;
        if (position.empty()) {
            SetParseError(l2, "missing position value");
            return;
        }
        const auto number3 = text::ToNumber(position, kInt32Max);
        if (!number3) {
            SetParseError(l2, "position value is not a number");
            return;
        }
        Position = static_cast<std::int32_t>(*number3);
    } else {
        ReplaceString.assign(tools_.ParseQuotedString(line2, at, ErrorText));
        if (HasError())
            return;
    }

    const std::string_view line3 = lines[cursor];
    const std::string lower3 = text::ToLower(line3);
    const std::string_view l3 = lower3;
    Lines.emplace_back(line3);
    ++cursor;
    // The third line writes the variable back to the field it was read from.
    RuleConsequence back;
    Pos at3 = 5;
    const bool fieldRead = l3.starts_with("set ") && back.ParseGroupField(l3, at3);
    if (!fieldRead || back.FieldDescription() != FieldDescription()) {
        SetParseError(l3, "MARC field defintion following 'replace by' does not match preceding "
                          "field definition");
        return;
    }
    std::int32_t variable3 = -1;
    if (SkipTo(l3, at3) && StartsAt(l3, at3, "temp\"")) {
        at3 += 4;
        std::string scratch;
        const std::string_view number3 = tools_.ParseQuotedString(l3, at3, scratch);
        if (scratch.empty()) {
            const std::int32_t read = RuleTools::ParseVariableNumber(number3, scratch);
            if (scratch.empty())
                variable3 = read;
        }
    }
    if (variable3 != VariableNumber)
        SetParseError(
            l3, "variable following 'replace by' does not match preceding variable definition");
}

// MARC.control."008" or MARC."245"."a", with the cursor on "marc.".
bool RuleConsequence::ParseGroupField(std::string_view l, Pos& cursor) {
    if (StartsAt(l, cursor, "marc.control.")) {
        cursor += 13;
        const std::string_view tag = tools_.ParseFieldTag(l, cursor, ErrorText);
        if (HasError())
            return false;
        if (!RuleTools::IsControlField(tag)) {
            SetParseError(l, "invalid control field");
            return false;
        }
        ControlField = text::ToUpper(tag);
        return true;
    }
    if (StartsAt(l, cursor, "marc.")) {
        cursor += 5;
        const std::string_view tag = tools_.ParseFieldTag(l, cursor, ErrorText);
        if (HasError())
            return false;
        if (!text::IsDigits(tag)) {
            SetParseError(l, "invalid field");
            return false;
        }
        Field.assign(tag);
        return ParseSingleSubfield(l, cursor, "subfield is required",
                                   "single subfield is required");
    }
    SetParseError(l, "variable not set to MARC control field or MARC subfield");
    return false;
}

void RuleConsequence::FindTargetCondition(std::string_view reference, std::string_view line) {
    const std::string_view tag = reference.substr(0, 3);
    unpairedTarget_.assign(tag);
    RuleCondition* target = Rule ? Rule->FindTargetCondition(tag) : nullptr;
    if (!target) {
        SetParseError(line, "matching TARGET MARC condition not found.");
        return;
    }
    TargetCondition = target;
    TargetRef = target->Key();
}

} // namespace rules
