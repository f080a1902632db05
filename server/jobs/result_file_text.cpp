#include "result_file_text.h"

#include "charsets/marc_charset_converter.h"

#include "marc/mnemonic_writer.h"
#include "marc/reader.h"
#include "marc/record_view.h"

namespace orvane::server {

std::string resultFileText(std::string_view fileBytes, bool holdsRecords) {
    if (!holdsRecords)
        return std::string(fileBytes);
    const MarcCharsetConverter toUnicode("marc8", "utf-8");
    std::string text;
    marc::Reader reader(fileBytes);
    while (const auto record = reader.next()) {
        if (record->characterCoding() == marc::CharacterCoding::Unicode || !toUnicode.ready()) {
            marc::appendMnemonic(*record, text);
            continue;
        }
        const MarcConversion converted = toUnicode.convert(record->bytes());
        const marc::ParseResult parsed =
            converted ? marc::parseRecord(converted.record) : marc::ParseResult{};
        marc::appendMnemonic(parsed.record ? *parsed.record : *record, text);
    }
    return text;
}

} // namespace orvane::server
