#pragma once
// Small helpers over a line of rule text. Positions are 1-based, as the
// parse cursor is: position 1 is the first character, and a position past
// the last character means "at the end of the line".

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace rules::text {

using Pos = std::size_t;

// The character at a position, or '\0' outside the line.
inline char At(std::string_view s, Pos pos) {
    return pos >= 1 && pos <= s.size() ? s[pos - 1] : '\0';
}

// Up to count characters from a position (empty outside the line).
inline std::string_view Mid(std::string_view s, Pos pos,
                            std::size_t count = std::string_view::npos) {
    if (pos < 1 || pos > s.size())
        return {};
    return s.substr(pos - 1, count);
}

// Text from a position up to and including another (empty when reversed).
inline std::string_view Span(std::string_view s, Pos first, Pos last) {
    if (last < first)
        return {};
    return Mid(s, first, last - first + 1);
}

// Position of needle at or after a position; 0 when absent.
inline Pos Find(std::string_view s, std::string_view needle, Pos from = 1) {
    if (from < 1)
        from = 1;
    if (from > s.size() + 1)
        return 0;
    const auto at = s.find(needle, from - 1);
    return at == std::string_view::npos ? 0 : at + 1;
}

inline Pos Find(std::string_view s, char c, Pos from = 1) {
    return Find(s, std::string_view(&c, 1), from);
}

// True when the text at a position starts with the prefix.
inline bool StartsAt(std::string_view s, Pos pos, std::string_view prefix) {
    return Mid(s, pos, prefix.size()) == prefix;
}

// A cursor that has not passed the last character.
inline bool Inside(std::string_view s, Pos pos) {
    return pos >= 1 && pos <= s.size();
}

inline char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
inline char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// ASCII letters only: the line keeps its length, so positions found in the
// lower-cased copy are positions in the line as written.
std::string ToLower(std::string_view s);
std::string ToUpper(std::string_view s);
void LowerInto(std::string_view s, std::string& out);

// The lower-cased line in a buffer reused by each call on this thread: valid
// until the next call. Saves an allocation per line read.
std::string_view LowerScratch(std::string_view s);

bool StartsWithNoCase(std::string_view s, std::string_view lowerPrefix);
bool EqualsNoCase(std::string_view s, std::string_view lower);

// Blanks only, as rule text is indented with blanks.
std::string_view Trim(std::string_view s);

// One or more ASCII digits and nothing else.
bool IsDigits(std::string_view s);
// One or more ASCII digits, allowing blanks around them.
bool IsNumeric(std::string_view s);
// The digits of IsNumeric text as a number; empty when it does not fit.
std::optional<std::int64_t> ToNumber(std::string_view s, std::int64_t max);

} // namespace rules::text
