#pragma once
// A result file as an operator reads it: MARC records in the one-line-per-
// field text form, non-Unicode records converted to Unicode first; a file
// of ids as it is.

#include <string>
#include <string_view>

namespace orvane::server {

std::string resultFileText(std::string_view fileBytes, bool holdsRecords);

} // namespace orvane::server
