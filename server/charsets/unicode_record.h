#pragma once
// A record as an operator reads it: a non-Unicode (MARC-8) record converted
// to Unicode, so that its diacritics show; a Unicode record, or one that
// does not convert, as it is.

#include <string>
#include <string_view>

namespace orvane::server {

std::string unicodeRecord(std::string_view iso2709);

} // namespace orvane::server
