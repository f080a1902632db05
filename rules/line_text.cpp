#include "line_text.h"

namespace rules::text {

std::string ToLower(std::string_view s) {
    std::string out;
    LowerInto(s, out);
    return out;
}

void LowerInto(std::string_view s, std::string& out) {
    out.resize(s.size());
    for (std::size_t i = 0; i < s.size(); ++i)
        out[i] = Lower(s[i]);
}

std::string_view LowerScratch(std::string_view s) {
    thread_local std::string buffer;
    LowerInto(s, buffer);
    return buffer;
}

std::string ToUpper(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = Upper(c);
    return out;
}

bool StartsWithNoCase(std::string_view s, std::string_view lowerPrefix) {
    if (s.size() < lowerPrefix.size())
        return false;
    for (std::size_t i = 0; i < lowerPrefix.size(); ++i)
        if (Lower(s[i]) != lowerPrefix[i])
            return false;
    return true;
}

bool EqualsNoCase(std::string_view s, std::string_view lower) {
    return s.size() == lower.size() && StartsWithNoCase(s, lower);
}

std::string_view Trim(std::string_view s) {
    const auto first = s.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    const auto last = s.find_last_not_of(' ');
    return s.substr(first, last - first + 1);
}

bool IsDigits(std::string_view s) {
    if (s.empty())
        return false;
    for (char c : s)
        if (c < '0' || c > '9')
            return false;
    return true;
}

bool IsNumeric(std::string_view s) {
    s = Trim(s);
    if (s.empty())
        return false;
    for (char c : s)
        if (c < '0' || c > '9')
            return false;
    return true;
}

std::optional<std::int64_t> ToNumber(std::string_view s, std::int64_t max) {
    if (!IsNumeric(s))
        return std::nullopt;
    std::int64_t value = 0;
    for (char c : Trim(s)) {
        value = value * 10 + (c - '0');
        if (value > max)
            return std::nullopt;
    }
    return value;
}

} // namespace rules::text
