#include "rule_tools.h"

#include "line_text.h"

#include <limits>

namespace rules {

using text::At;
using text::Find;
using text::Mid;
using text::Span;

std::string RuleTools::FormatParseError(std::string_view line, std::string_view message) const {
    std::string out;
    out.reserve(errorPrefix_.size() + line.size() + 4 + message.size());
    out.append(errorPrefix_).append(line).append("' - ").append(message);
    return out;
}

std::string_view RuleTools::ParseQuotedString(std::string_view line, Pos& cursor,
                                              std::string& error) const {
    const Pos open = Find(line, '"', cursor);
    if (open == 0)
        return {};
    const Pos close = Find(line, '"', open + 1);
    if (close == 0) {
        error = FormatParseError(line, "unclosed quotation marks.");
        return {};
    }
    cursor = close + 1;
    return Span(line, open + 1, close - 1);
}

std::string_view RuleTools::ParseFieldRef(std::string_view line, Pos& cursor,
                                          std::string& error) const {
    std::string_view tag;
    if (Mid(line, cursor, 3) == "ldr") {
        tag = Mid(line, cursor, 3);
        cursor += 3;
    } else {
        tag = ParseQuotedString(line, cursor, error);
    }
    if (error.empty() && tag.empty())
        error = FormatParseError(line, "field not found.");
    return tag;
}

std::string_view RuleTools::ParseFieldTag(std::string_view line, Pos& cursor,
                                          std::string& error) const {
    const std::string_view tag = ParseFieldRef(line, cursor, error);
    if (!error.empty())
        return {};
    if (tag.size() != 3) {
        error = FormatParseError(line, "invalid field length.");
        return {};
    }
    return tag;
}

void RuleTools::ParseIndicators(std::string_view line, Pos& cursor, std::string& error,
                                std::string& indicator1, std::string& indicator2) const {
    if (At(line, cursor) != '(')
        return;
    std::string_view inner;
    if (const Pos close = Find(line, ')', cursor + 1); close != 0) {
        inner = Span(line, cursor + 1, close - 1);
        cursor = close + 1;
    }
    // The written form is ("1","2"): the indicators are its 2nd and 6th characters.
    if (!inner.empty() && inner.size() >= 5 && inner.size() <= 7) {
        // One character each; a position past the end is empty, read as "#".
        const auto at = [inner](Pos pos) { return pos <= inner.size() ? inner[pos - 1] : '#'; };
        indicator1.assign(1, at(2));
        indicator2.assign(1, at(6));
        return;
    }
    error = FormatParseError(line, "invalid indicators.");
}

bool RuleTools::ParseOccurrence(std::string_view line, Pos& cursor, std::string& error,
                                std::int32_t& occurrence) const {
    if (At(line, cursor) != '[')
        return false;
    const Pos open = cursor;
    const Pos close = Find(line, ']', open + 1);
    if (close == 0) {
        error = FormatParseError(line, "unclosed brackets.");
        return false;
    }
    std::string_view inner = Span(line, open + 1, close - 1);
    cursor = close + 1;
    if (inner.find('"') != std::string_view::npos) {
        Pos quoted = open + 1;
        inner = ParseQuotedString(line, quoted, error);
        if (!error.empty())
            return false;
    }
    if (inner.empty()) {
        error = FormatParseError(line, "invalid occurrence.");
        return false;
    }
    if (!text::IsNumeric(inner)) {
        error = FormatParseError(line, "invalid occurrence (not a number).");
        return false;
    }
    // Any number above 9 means the last occurrence, however long it is.
    const auto number = text::ToNumber(inner, 9);
    occurrence = number ? static_cast<std::int32_t>(*number) : kLastOccurrence;
    return true;
}

void RuleTools::ParseSubfield(std::string_view line, Pos& cursor, std::string& error,
                              std::string& codes, std::int32_t& occurrence) const {
    const std::string_view quoted = ParseQuotedString(line, cursor, error);
    if (!error.empty() || quoted.empty())
        return;
    codes.assign(quoted);
    ParseOccurrence(line, cursor, error, occurrence);
}

std::string_view RuleTools::ParseSubfieldOrderKeyword(std::string_view line, Pos& cursor,
                                                      std::string& error) const {
    const Pos quote = Find(line, '"', cursor);
    if (quote == 0) {
        error = FormatParseError(line, "No subfield order keyword found.");
        return {};
    }
    // From after the cursor (the separating blank) to before the blank ahead of the quote.
    const std::string_view keyword = quote >= 2 ? Span(line, cursor + 1, quote - 2) : "";
    cursor = quote;
    return text::Trim(keyword);
}

bool RuleTools::IsControlField(std::string_view tag) {
    return tag == "ldr" || tag == "001" || tag == "003" || tag == "004" || tag == "005" ||
           tag == "006" || tag == "007" || tag == "008";
}

bool RuleTools::IsIndicatorSet(std::string_view indicator) {
    return !indicator.empty() && indicator != "#";
}

bool RuleTools::IndicatorsSpecified(std::string_view indicator1, std::string_view indicator2) {
    return IsIndicatorSet(indicator1) || IsIndicatorSet(indicator2);
}

std::string_view RuleTools::BlankToHash(std::string_view indicator) {
    return indicator.empty() ? "#" : indicator;
}

void RuleTools::AppendConditionIndicators(std::string& text, std::string_view indicator1,
                                          std::string_view indicator2, bool writeUnsetAsHash) {
    if (!IndicatorsSpecified(indicator1, indicator2))
        return;
    const std::string_view empty = writeUnsetAsHash ? "#" : " ";
    text.append(token::IndicatorsOpen)
        .append(indicator1.empty() ? empty : indicator1)
        .append(token::Separator)
        .append(indicator2.empty() ? empty : indicator2)
        .append(token::IndicatorsClose);
}

void RuleTools::AppendConsequenceIndicators(std::string& text, std::string_view indicator1,
                                            std::string_view indicator2) {
    text.append(token::IndicatorsOpen)
        .append(IsIndicatorSet(indicator1) ? indicator1 : " ")
        .append(token::Separator)
        .append(IsIndicatorSet(indicator2) ? indicator2 : " ")
        .append(token::IndicatorsClose);
}

void RuleTools::AppendOccurrence(std::string& text, std::int32_t occurrence) {
    if (occurrence < 0)
        return;
    text.append(token::OccurrenceOpen)
        .append(std::to_string(occurrence))
        .append(token::OccurrenceClose);
}

std::string_view RuleTools::ParseVariableNumberText(std::string_view text, std::string& error) {
    if (text.empty()) {
        error = "variable improperly defined";
        return {};
    }
    if (!text::IsNumeric(text)) {
        error = "variable improperly defined (not numeric)";
        return {};
    }
    return text;
}

std::int32_t RuleTools::ParseVariableNumber(std::string_view text, std::string& error) {
    if (ParseVariableNumberText(text, error).empty())
        return 0;
    const auto number = text::ToNumber(text, std::numeric_limits<std::int32_t>::max());
    if (!number) {
        error = "variable improperly defined (not numeric)";
        return 0;
    }
    return static_cast<std::int32_t>(*number);
}

} // namespace rules
