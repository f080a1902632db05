#include "unicode_record.h"

#include "marc_charset_converter.h"

#include "marc/record_view.h"

namespace orvane::server {

std::string unicodeRecord(std::string_view iso2709) {
    const marc::ParseResult parsed = marc::parseRecord(iso2709);
    if (!parsed.record || parsed.record->characterCoding() == marc::CharacterCoding::Unicode)
        return std::string(iso2709);
    static const MarcCharsetConverter toUnicode("marc8", "utf-8");
    MarcConversion converted = toUnicode.convert(iso2709);
    return converted ? std::move(converted.record) : std::string(iso2709);
}

} // namespace orvane::server
