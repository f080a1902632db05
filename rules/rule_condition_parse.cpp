// Reading condition lines. Keywords, tags and codes are read from a
// lower-cased copy of the line; compared values, cataloger names and the
// owning library and suppression forms from the line as written.
#include "line_text.h"
#include "rule_condition.h"

#include <array>
#include <limits>

namespace rules {

using text::At;
using text::Find;
using text::Inside;
using text::Mid;
using text::Span;
using text::StartsAt;
namespace ck = condition_kind;

namespace {

struct OperatorWord {
    std::string_view word;
    std::int32_t op;
};

constexpr std::array<OperatorWord, 6> kOperatorWords{{
    {"equals ", condition_operator::Equals},
    {"does not equal ", condition_operator::DoesNotEqual},
    {"contains ", condition_operator::Contains},
    {"between ", condition_operator::Between},
    {"does not contain ", condition_operator::DoesNotContain},
    {"starts with ", condition_operator::StartsWith},
}};

bool StartsWith(std::string_view s, std::string_view prefix) {
    return s.starts_with(prefix);
}

} // namespace

void RuleCondition::ParseLine(std::string_view line, std::int32_t lineIndex,
                              std::string_view conjunction) {
    Reset();
    Text.assign(line);
    LineIndex = lineIndex;
    const std::string_view written = Text;
    const std::string_view l = text::LowerScratch(written);

    if (StartsWith(l, "marc is ")) {
        ParseFieldExists(l, written);
    } else if (StartsWith(l, "marc.control is ")) {
        ParseControlFieldExists(l);
    } else if (StartsWith(l, "marc.") && written.find("has any") != std::string_view::npos) {
        ParseHasAny(l, ck::FieldHasAny);
    } else if (StartsWith(l, "marc.") &&
               written.find("does not have any") != std::string_view::npos) {
        ParseHasAny(l, ck::FieldDoesNotHave);
    } else if (StartsWith(l, "marc.control.")) {
        ParseControlFieldValue(l, written);
    } else if (StartsWith(l, "marc.owninglibrary ")) {
        ParseOwningLibrary(written);
    } else if (StartsWith(l, "marc.opacsuppress ")) {
        ParseOpacSuppress(written);
    } else if (StartsWith(l, "marc.") || StartsWith(l, "marc range ")) {
        ParseFieldValue(l, written);
    } else if (StartsWith(l, "marc ")) {
        ParseFieldValueWith(l, written);
    } else if (StartsWith(l, "created by ")) {
        ParseCataloger(l, written, ck::CreatedBy);
    } else if (StartsWith(l, "created ")) {
        ParseDate(l, ck::CreateDate);
    } else if (StartsWith(l, "updated by ")) {
        ParseCataloger(l, written, ck::UpdatedBy);
    } else if (StartsWith(l, "updated ")) {
        ParseDate(l, ck::UpdateDate);
    } else if (StartsWith(l, "#") || StartsWith(l, ">")) {
        Kind = ck::Comment;
        ErrorText = kCommentStatus;
    } else if (StartsWith(l, "target marc")) {
        ParseTarget(l);
    } else {
        SetParseError(l, "unknown conditional phrase.");
    }

    if (Kind != ck::Comment && Kind != ck::Target && !conjunction.empty())
        Conjunction.assign(conjunction);
}

const std::string& RuleCondition::ParseExpression(std::string_view expression) {
    Reset();
    Text.assign(expression);
    const std::string_view l = text::LowerScratch(Text);

    if (StartsWith(l, "marc.control.")) {
        Pos cursor = 13;
        Pos operatorBlank = 0;
        ParseControlReference(l, cursor, operatorBlank, ck::ControlExpression);
    } else if (StartsWith(l, "marc.")) {
        Pos cursor = 5;
        const std::string_view tag = tools_.ParseFieldRef(l, cursor, ErrorText);
        if (HasError())
            return ErrorText;
        if (tag.size() == 3) {
            Kind = ck::Expression;
        } else if (tag.size() == 2 && At(l, cursor) == 'x') {
            Kind = ck::NnxExpression;
            cursor += 1;
        } else if (tag.size() == 1 && Mid(l, cursor, 2) == "xx") {
            Kind = ck::NxxExpression;
            cursor += 2;
        } else {
            SetParseError(l, "invalid field length.");
            return ErrorText;
        }
        Field.assign(tag);
        if (Inside(l, cursor))
            ParseReferenceTail(l, Text, cursor);
    } else if (text::Trim(l).empty()) {
        // Reset has left both indicators unset ("#").
        Kind = ck::Expression;
    } else {
        SetParseError(l, "unknown conditional phrase.");
    }
    return ErrorText;
}

// Indicators, field occurrence and, after ".", the subfield part.
void RuleCondition::ParseReferenceTail(std::string_view l, std::string_view indicatorLine,
                                       Pos& cursor) {
    tools_.ParseIndicators(indicatorLine, cursor, ErrorText, Indicator1, Indicator2);
    if (HasError())
        return;
    tools_.ParseOccurrence(l, cursor, ErrorText, FieldOccurrence);
    if (HasError())
        return;
    if (At(l, cursor) == '.')
        tools_.ParseSubfield(l, cursor, ErrorText, Subfields, SubfieldOccurrence);
}

void RuleCondition::ParseFieldExists(std::string_view l, std::string_view line) {
    Pos cursor = 8;
    const std::string_view tag = tools_.ParseFieldRef(l, cursor, ErrorText);
    if (HasError())
        return;
    if (tag.size() == 3) {
        Kind = ck::FieldExists;
    } else if (tag.size() == 2 && At(l, cursor) == 'x') {
        Kind = ck::FieldNnxExists;
        cursor += 1;
    } else if (tag.size() == 1 && Mid(l, cursor, 2) == "xx") {
        Kind = ck::FieldNxxExists;
        cursor += 2;
    } else {
        SetParseError(l, "invalid field length.");
        return;
    }
    Field.assign(tag);
    if (Inside(l, cursor)) {
        ParseReferenceTail(l, line, cursor);
        if (HasError())
            return;
    }
    IsFieldCondition = true;
}

void RuleCondition::ParseControlFieldExists(std::string_view l) {
    Pos cursor = 16;
    const std::string_view tag = tools_.ParseFieldTag(l, cursor, ErrorText);
    if (HasError())
        return;
    if (!RuleTools::IsControlField(tag)) {
        SetParseError(l, "invalid control field.");
        return;
    }
    ControlField = text::ToUpper(tag);
    Kind = ck::ControlFieldExists;
    if (At(l, cursor) == '.') {
        ControlVariable = NormalizeControlVariable(Mid(l, cursor + 1));
        if (ControlVariable.empty())
            SetParseError(l, "invalid control variable.");
    }
}

void RuleCondition::ParseHasAny(std::string_view l, std::int32_t kind) {
    Pos cursor = 5;
    const std::string_view tag = tools_.ParseFieldTag(l, cursor, ErrorText);
    if (HasError())
        return;
    Field.assign(tag);
    Kind = kind;
    if (Inside(l, cursor)) {
        tools_.ParseIndicators(l, cursor, ErrorText, Indicator1, Indicator2);
        if (HasError())
            return;
        tools_.ParseOccurrence(l, cursor, ErrorText, FieldOccurrence);
        if (HasError())
            return;
    }
    const std::string_view phrase = kind == ck::FieldHasAny ? "has any" : "does not have any";
    if (const Pos at = Find(l, phrase, cursor); at != 0) {
        cursor = at + phrase.size() + 1;
        if (Inside(l, cursor)) {
            tools_.ParseSubfield(l, cursor, ErrorText, Subfields, SubfieldOccurrence);
            if (HasError())
                return;
        }
    }
    IsFieldCondition = true;
}

// The field a value form reads: its tag, then indicators and occurrence when
// the line goes on, then ".subfield" when one follows. False on an error.
bool RuleCondition::ParseFieldPath(std::string_view l, Pos& cursor) {
    const std::string_view tag = tools_.ParseFieldTag(l, cursor, ErrorText);
    if (HasError())
        return false;
    Field.assign(tag);
    if (Inside(l, cursor)) {
        tools_.ParseIndicators(l, cursor, ErrorText, Indicator1, Indicator2);
        if (HasError())
            return false;
        tools_.ParseOccurrence(l, cursor, ErrorText, FieldOccurrence);
        if (HasError())
            return false;
    }
    if (At(l, cursor) == '.')
        tools_.ParseSubfield(l, cursor, ErrorText, Subfields, SubfieldOccurrence);
    return !HasError();
}

void RuleCondition::ParseFieldValue(std::string_view l, std::string_view line) {
    if (const Pos from = Find(l, "from marc."); from != 0) {
        const std::string_view clause = Mid(l, from);
        Pos clauseCursor = 10;
        const std::string_view source = tools_.ParseFieldRef(clause, clauseCursor, ErrorText);
        if (HasError())
            return;
        SourceField.assign(source);
        l = text::Trim(Span(l, 1, from - 1));
        // The value is read from the line as written, cut at the same place.
        line = line.substr(0, l.size());
    }
    Pos cursor = 6;
    if (!ParseFieldPath(l, cursor))
        return;
    Kind = ck::FieldValue;
    IsFieldCondition = true;
    if (!Inside(l, cursor))
        return;
    if (const Pos blank = Find(l, ' ', cursor); blank != 0)
        ParseOperator(l, line, blank + 1);
    else
        Operator = condition_operator::None;
}

void RuleCondition::ParseFieldValueWith(std::string_view l, std::string_view line) {
    Pos cursor = 5;
    if (Mid(l, 6, 4) == "with") {
        if (!ParseFieldPath(l, cursor))
            return;
        IsFieldCondition = true;
    }
    Kind = ck::FieldValue;
    if (!Inside(l, cursor))
        return;
    if (const Pos blank = Find(l, ' ', cursor); blank != 0)
        ParseOperator(l, line, blank + 1);
    else
        Operator = condition_operator::None;
}

void RuleCondition::ParseOperator(std::string_view l, std::string_view line, Pos cursor) {
    for (const auto& [word, op] : kOperatorWords) {
        if (!StartsAt(l, cursor, word))
            continue;
        cursor += word.size();
        Operator = op;
        Value1.assign(tools_.ParseQuotedString(line, cursor, ErrorText));
        if (HasError() || op != condition_operator::Between)
            return;
        // The word "and" between the values is stepped over by the quote search.
        Value2.assign(tools_.ParseQuotedString(line, cursor, ErrorText));
        return;
    }
    SetParseError(l, "invalid operator.");
}

// Tag, then ".variable" or ("start","end"); operatorBlank is the blank
// where an operator may follow, 0 when none can.
bool RuleCondition::ParseControlReference(std::string_view l, Pos& cursor, Pos& operatorBlank,
                                          std::int32_t kind) {
    const std::string_view tag = tools_.ParseFieldTag(l, cursor, ErrorText);
    if (HasError())
        return false;
    if (!RuleTools::IsControlField(tag)) {
        SetParseError(l, "invalid control field.");
        return false;
    }
    ControlField = text::ToUpper(tag);
    Kind = kind;
    operatorBlank = 0;
    const char next = At(l, cursor);
    if (next == '.' || next == '(') {
        const Pos blank = Find(l, ' ', cursor + 1);
        const std::string_view part =
            blank != 0 ? Span(l, cursor + 1, blank - 1) : Mid(l, cursor + 1);
        if (next == '.') {
            ControlVariable = NormalizeControlVariable(part);
            if (ControlVariable.empty()) {
                SetParseError(l, "invalid control variable.");
                return false;
            }
        } else if (!ParseByteRange(l, part)) {
            return false;
        }
        operatorBlank = blank;
    } else if (next == ' ') {
        operatorBlank = cursor;
    }
    return true;
}

void RuleCondition::ParseControlFieldValue(std::string_view l, std::string_view line) {
    Pos cursor = 14;
    Pos operatorBlank = 0;
    if (!ParseControlReference(l, cursor, operatorBlank, ck::ControlFieldValue))
        return;
    if (operatorBlank == 0) {
        Operator = condition_operator::None;
        return;
    }
    ParseOperator(l, line, operatorBlank + 1);
}

bool RuleCondition::ParseByteRange(std::string_view l, std::string_view rangeText) {
    std::string scratch;
    Pos cursor = 1;
    const std::string_view start = tools_.ParseQuotedString(rangeText, cursor, scratch);
    std::optional<std::int64_t> startNumber;
    std::optional<std::int64_t> endNumber;
    if (scratch.empty() && !start.empty()) {
        startNumber = text::ToNumber(start, std::numeric_limits<std::int16_t>::max());
        cursor += 1;
        const std::string_view end = tools_.ParseQuotedString(rangeText, cursor, scratch);
        if (scratch.empty() && !end.empty())
            endNumber = text::ToNumber(end, std::numeric_limits<std::int16_t>::max());
    }
    if (!startNumber || !endNumber) {
        SetParseError(l, "invalid control byte range.");
        return false;
    }
    ByteStart = static_cast<std::int16_t>(*startNumber);
    ByteEnd = static_cast<std::int16_t>(*endNumber);
    return true;
}

void RuleCondition::ParseDate(std::string_view l, std::int32_t kind) {
    Pos cursor = 9;
    const Pos quote = Find(l, '"', cursor);
    const std::string_view range = quote != 0 ? Span(l, cursor, quote - 1) : Mid(l, cursor);
    if (range == "before ") {
        DateRange = date_range::Before;
    } else if (range == "after ") {
        DateRange = date_range::After;
    } else if (range == "between ") {
        DateRange = date_range::Between;
    } else {
        SetParseError(l, "invalid date range.");
        return;
    }
    FirstDate.assign(tools_.ParseQuotedString(l, cursor, ErrorText));
    if (HasError())
        return;
    if (FirstDate.size() != 8) {
        SetParseError(l, "invalid date value.");
        return;
    }
    if (DateRange == date_range::Between) {
        if (Mid(l, cursor, 5) != " and ") {
            SetParseError(l, "invalid date range.");
            return;
        }
        SecondDate.assign(tools_.ParseQuotedString(l, cursor, ErrorText));
        if (HasError())
            return;
        if (SecondDate.size() != 8) {
            SetParseError(l, "invalid date value.");
            return;
        }
    }
    Kind = kind;
}

void RuleCondition::ParseCataloger(std::string_view l, std::string_view line, std::int32_t kind) {
    Pos cursor = 11;
    Value1.assign(tools_.ParseQuotedString(line, cursor, ErrorText));
    if (HasError())
        return;
    if (Value1.empty()) {
        SetParseError(l, "invalid cataloger.");
        return;
    }
    Kind = kind;
}

void RuleCondition::ParseOwningLibrary(std::string_view line) {
    const std::string_view rest = Mid(line, 20);
    if (rest.starts_with("in ")) {
        OwningLibraryIn = true;
    } else if (rest.starts_with("not in ")) {
        OwningLibraryIn = false;
    } else {
        SetParseError(line, "invalid owning libraries list.");
        return;
    }
    const Pos bar = Find(line, '|');
    const Pos quote = bar != 0 ? Find(line, '"', bar) : 0;
    if (quote == 0) {
        SetParseError(line, "invalid owning libraries list.");
        return;
    }
    OwningLibraries.assign(Span(line, bar, quote - 1));
    Kind = ck::OwningLibrary;
}

void RuleCondition::ParseOpacSuppress(std::string_view line) {
    const std::string_view rest = Mid(line, 19);
    if (rest == "is suppressed") {
        Suppressed = true;
    } else if (rest == "is unsuppressed") {
        Suppressed = false;
    } else {
        SetParseError(line, "invalid opac suppress value.");
        return;
    }
    Kind = ck::OpacSuppress;
}

void RuleCondition::ParseTarget(std::string_view l) {
    Pos cursor = 16;
    const std::string_view tag = tools_.ParseFieldTag(l, cursor, ErrorText);
    if (HasError())
        return;
    Field.assign(tag);
    Kind = ck::Target;
    if (Inside(l, cursor)) {
        tools_.ParseIndicators(l, cursor, ErrorText, Indicator1, Indicator2);
        if (HasError())
            return;
        tools_.ParseOccurrence(l, cursor, ErrorText, FieldOccurrence);
        if (HasError())
            return;
    }
    if (StartsAt(l, cursor, " has any")) {
        TargetHasAny = true;
        cursor += 8;
    }
    if (Inside(l, cursor)) {
        tools_.ParseSubfield(l, cursor, ErrorText, Subfields, SubfieldOccurrence);
        if (HasError())
            return;
    }
    ErrorText = kTargetStatus;
}

} // namespace rules
