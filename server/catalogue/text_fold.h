#pragma once
// Folds UTF-8 text to the form index keys are compared in: lower case,
// common Latin letters without their diacritics, combining marks dropped,
// punctuation and spacing as single blanks. Letters of other scripts are
// kept as they are, so their words still match one another.

#include <string>
#include <string_view>
#include <vector>

namespace orvane::server {

// Appends the folded text to `out`: every run of separators becomes one
// blank, none is left at the end, and a blank parts it from text `out`
// already holds.
void appendFolded(std::string_view utf8, std::string& out);
std::string foldText(std::string_view utf8);

// The words of folded text (split at blanks), as views into it.
std::vector<std::string_view> wordsOf(std::string_view folded);

} // namespace orvane::server
