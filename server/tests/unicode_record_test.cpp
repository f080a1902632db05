// Records shown to an operator (previews, result files) read in Unicode.
#include "charsets/unicode_record.h"
#include "test_server.h"

#include "marc/record_view.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace orvane::server::testing {
namespace {

std::string sample(const std::string& name) {
    return readFile((std::filesystem::path(VELUMAR_MARC_DATA_DIR) / name).string());
}

TEST(UnicodeRecord, MarcEightIsConvertedAndUnicodeKeptByteForByte) {
    if (!std::filesystem::is_directory(VELUMAR_MARC_DATA_DIR))
        GTEST_SKIP() << "the MARC sample folder is absent";
    const std::string marc8 = sample("pym_marc8.dat");
    const std::string shown = unicodeRecord(marc8);
    const auto parsed = marc::parseRecord(shown);
    ASSERT_TRUE(parsed.record);
    EXPECT_EQ(parsed.record->leader()[9], 'a');
    // MARC-8 keeps a diacritic apart from its letter; so does the Unicode it becomes.
    EXPECT_EQ(parsed.record->findField("240")->subfield('a'),
              "De la solitude a\xCC\x80 la communaute\xCC\x81.");

    const std::string unicode = sample("m4j_chabon.mrc").substr(0, 759);
    EXPECT_EQ(unicodeRecord(unicode), unicode);
    EXPECT_EQ(unicodeRecord("not a record"), "not a record");
}

} // namespace
} // namespace orvane::server::testing
