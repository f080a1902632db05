#include "result_file_text.h"

#include "charsets/unicode_record.h"

#include "marc/mnemonic_writer.h"
#include "marc/reader.h"
#include "marc/record_view.h"

namespace orvane::server {

std::string resultFileText(std::string_view fileBytes, bool holdsRecords) {
    if (!holdsRecords)
        return std::string(fileBytes);
    std::string text;
    marc::Reader reader(fileBytes);
    while (const auto record = reader.next()) {
        const std::string shown = unicodeRecord(record->bytes());
        const marc::ParseResult parsed = marc::parseRecord(shown);
        marc::appendMnemonic(parsed.record ? *parsed.record : *record, text);
    }
    return text;
}

} // namespace orvane::server
