#pragma once
// The lexical layer shared by conditions and consequences: quoted values,
// MARC references (tag, indicators, occurrences, subfield codes), the parse
// error format, and the written tokens of rule text.
//
// Every parse operation takes the line, a 1-based cursor into it and the
// owner's error text. It starts at the cursor and, on success, leaves the
// cursor on the first character after what it consumed. On failure it
// stores a formatted message in the error text; callers stop at the first
// error. Results are views of the line given.

#include <cstdint>
#include <string>
#include <string_view>

namespace rules {

inline constexpr std::string_view kConditionErrorPrefix = "Could not parse condition: '";
inline constexpr std::string_view kConsequenceErrorPrefix = "Could not parse consequence: '";

// Occurrence indexes as rule text carries them.
inline constexpr std::int32_t kNoOccurrence = -1;
inline constexpr std::int32_t kLastOccurrence = 99;

// Written tokens.
namespace token {
inline constexpr std::string_view Quote = "\"";
inline constexpr std::string_view SubfieldLead = ".\"";
inline constexpr std::string_view IndicatorsOpen = "(\"";
inline constexpr std::string_view Separator = "\",\"";
inline constexpr std::string_view IndicatorsClose = "\")";
inline constexpr std::string_view OccurrenceOpen = "[\"";
inline constexpr std::string_view OccurrenceClose = "\"]";
} // namespace token

class RuleTools {
public:
    using Pos = std::size_t;

    // The prefix is kept as a view: pass one of the two prefixes above, or
    // any text that outlives these tools.
    void SetErrorPrefix(std::string_view prefix) { errorPrefix_ = prefix; }
    std::string_view ErrorPrefix() const { return errorPrefix_; }

    // ErrorPrefix + line + "' - " + message.
    std::string FormatParseError(std::string_view line, std::string_view message) const;

    std::string_view ParseQuotedString(std::string_view line, Pos& cursor,
                                       std::string& error) const;
    // A field tag: "ldr" unquoted, or a quoted tag of any length.
    std::string_view ParseFieldRef(std::string_view line, Pos& cursor, std::string& error) const;
    // A field tag of exactly three characters; empty otherwise.
    std::string_view ParseFieldTag(std::string_view line, Pos& cursor, std::string& error) const;
    // Reads ("1","2") when the cursor is on "("; otherwise leaves both as they are.
    void ParseIndicators(std::string_view line, Pos& cursor, std::string& error,
                         std::string& indicator1, std::string& indicator2) const;
    // Reads ["n"] or [n] when the cursor is on "["; true when one was read.
    bool ParseOccurrence(std::string_view line, Pos& cursor, std::string& error,
                         std::int32_t& occurrence) const;
    // The quoted subfield codes and, after them, their occurrence.
    void ParseSubfield(std::string_view line, Pos& cursor, std::string& error, std::string& codes,
                       std::int32_t& occurrence) const;
    // The word before the next double quote ("after", "before").
    std::string_view ParseSubfieldOrderKeyword(std::string_view line, Pos& cursor,
                                               std::string& error) const;

    // "ldr" (lower-case) and the control field tags 001 to 008 but 002.
    static bool IsControlField(std::string_view tag);

    static bool IsIndicatorSet(std::string_view indicator);
    static bool IndicatorsSpecified(std::string_view indicator1, std::string_view indicator2);
    static std::string_view BlankToHash(std::string_view indicator);

    // Only when an indicator is set; an empty one is written "#" with the
    // flag, a blank without it.
    static void AppendConditionIndicators(std::string& text, std::string_view indicator1,
                                          std::string_view indicator2,
                                          bool writeUnsetAsHash = false);
    // Always; an unset indicator is written as a blank.
    static void AppendConsequenceIndicators(std::string& text, std::string_view indicator1,
                                            std::string_view indicator2);
    static void AppendOccurrence(std::string& text, std::int32_t occurrence);

    // Variable numbers of temporary variables. The messages are stored as
    // they are, without the error prefix.
    static std::string_view ParseVariableNumberText(std::string_view text, std::string& error);
    static std::int32_t ParseVariableNumber(std::string_view text, std::string& error);

private:
    std::string_view errorPrefix_;
};

} // namespace rules
