#include "charset_test_records.h"
#include "charsets/iso2709_structure.h"
#include "charsets/marc_charset_converter.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace orvane::server;
using namespace orvane::server::testing;

namespace {

const std::string Leader = "00000nam  2200000 a 4500";

std::string titleRecord(std::string title, char leader09 = ' ') {
    std::string leader = Leader;
    leader[9] = leader09;
    return buildRecord(leader, {{"001", "cv0001"},
                                {"245", "10\x1F"
                                        "a" +
                                            title}});
}

// The 245 $a of a converted record, after checking its layout.
std::string titleOf(const MarcConversion& converted) {
    EXPECT_EQ(converted.error, MarcConversionError::None);
    const auto record = parseRecord(converted.record);
    if (!record || record->fields.size() != 2)
        return "(no record)";
    return record->fields[1].data.substr(4);
}

char leader09(const MarcConversion& converted) {
    return converted.record.size() > 9 ? converted.record[9] : '?';
}

MarcConversion convert(const char* from, const char* to, std::string_view record) {
    MarcCharsetConverter converter(from, to);
    EXPECT_TRUE(converter.ready()) << from << " to " << to;
    return converter.convert(record);
}

std::vector<TestField> fieldsOf(std::string_view record) {
    const auto parsed = parseRecord(record);
    return parsed ? parsed->fields : std::vector<TestField>{};
}

} // namespace

TEST(MarcCharsetConverter, RecodesFieldDataAndMarksUnicodeInLeader09) {
    const auto out = convert("ISO-8859-1", "utf-8", titleRecord("Caf\xE9 cr\xE8me"));
    EXPECT_EQ(titleOf(out), "Caf\xC3\xA9 cr\xC3\xA8me");
    EXPECT_EQ(leader09(out), 'a');
    // Only the lengths, the base address and 09 change in the leader.
    EXPECT_EQ(out.record.substr(5, 4), "nam ");
    EXPECT_EQ(out.record.substr(10, 2), "22");
    EXPECT_EQ(out.record.substr(17, 7), " a 4500");
    EXPECT_EQ(fieldsOf(out.record)[0], (TestField{"001", "cv0001"}));

    const auto back = convert("utf-8", "ISO-8859-1", out.record);
    EXPECT_EQ(titleOf(back), "Caf\xE9 cr\xE8me");
    EXPECT_EQ(leader09(back), ' ');
}

TEST(MarcCharsetConverter, ComposesLettersAndMarksForEightBitCodings) {
    // Decomposed e + acute, and a precomposed a with grave.
    const auto mixed = titleRecord("Cafe\xCC\x81 \xC3\xA0 la carte", 'a');
    EXPECT_EQ(titleOf(convert("utf-8", "ISO-8859-1", mixed)), "Caf\xE9 \xE0 la carte");
    const auto composed = titleRecord("Caf\xC3\xA9 \xC3\xA0 la carte", 'a');
    EXPECT_EQ(titleOf(convert("utf-8", "CP1252", composed)), "Caf\xE9 \xE0 la carte");
    // The C library's coders, behind YAZ's for most 8-bit codings, do not
    // compose: refused whole rather than cut short at the mark.
    EXPECT_EQ(convert("utf-8", "CP1252", mixed).error, MarcConversionError::Unrepresentable);

    // MARC-8 puts the mark (E2 acute) before its letter.
    const auto marc8 = titleRecord("\xE2"
                                   "Etude");
    EXPECT_EQ(titleOf(convert("marc8", "utf-8", marc8)), "E\xCC\x81tude");
    EXPECT_EQ(titleOf(convert("marc8", "ISO-8859-1", marc8)), "\xC9tude");
    EXPECT_EQ(titleOf(convert("marc8", "CP1252", marc8)), "\xC9tude");
    EXPECT_EQ(titleOf(convert("utf-8", "marc8", titleRecord("\xC3\x89tude", 'a'))), "\xE2"
                                                                                    "Etude");
}

TEST(MarcCharsetConverter, RefusesCharactersTheTargetCodingLacks) {
    const std::pair<const char*, std::string> cases[] = {
        {"ISO-8859-1", "\xD0\x98\xD0\xBB\xD1\x8C\xD0\xB8\xD0\xBD\xD0\xB0"}, // Cyrillic, dropped
        {"ISO-8859-1", "q\xCC\x80"},   // a mark Latin-1 has no letter for
        {"CP1252", "Tolsto\xD0\xB9"},  // cut short by the coder
        {"ISO-8859-5", "Caf\xC3\xA9"}, // no e acute in Cyrillic
    };
    for (const auto& [to, title] : cases) {
        const auto out = convert("utf-8", to, titleRecord(title, 'a'));
        EXPECT_EQ(out.error, MarcConversionError::Unrepresentable) << to << ": " << title;
        EXPECT_TRUE(out.record.empty());
    }
    // Cyrillic that the target has is kept.
    const auto cyrillic = convert("utf-8", "ISO-8859-5", titleRecord("\xD0\x98\xD0\xBB", 'a'));
    EXPECT_EQ(titleOf(cyrillic), "\xB8\xDB");
}

TEST(MarcCharsetConverter, WritesCharactersMarc8LacksAsReferences) {
    const auto out = convert("utf-8", "marc8", titleRecord("x\xE0\xA4\x85y", 'a'));
    EXPECT_EQ(titleOf(out), "x&#x0905;y");
    EXPECT_EQ(leader09(out), ' ');
}

TEST(MarcCharsetConverter, ReadsTheNamedCodingWhateverLeader09Says) {
    // Leader 09 claims Unicode, but the data is Latin-1 as the caller says.
    const auto out = convert("ISO-8859-1", "utf-8", titleRecord("Caf\xE9", 'a'));
    EXPECT_EQ(titleOf(out), "Caf\xC3\xA9");
}

TEST(MarcCharsetConverter, SameCodingOnlySetsLeader09) {
    const auto latin1 = titleRecord("Caf\xE9 \xFF\x80");
    const auto same = convert("ISO-8859-1", "ISO-8859-1", latin1);
    EXPECT_EQ(same.record, latin1);

    const auto unicode = titleRecord("Caf\xC3\xA9");
    const auto marked = convert("utf-8", "UTF-8", unicode);
    EXPECT_EQ(leader09(marked), 'a');
    EXPECT_EQ(fieldsOf(marked.record), fieldsOf(unicode));
}

TEST(MarcCharsetConverter, RefusesWhatIsNotOneWellFormedRecord) {
    const auto good = titleRecord("Plain title");
    ASSERT_TRUE(convert("ISO-8859-1", "utf-8", good));
    ASSERT_TRUE(isWellFormedIso2709(good));

    auto withAt = [&](std::size_t at, char c) {
        auto r = good;
        r[at] = c;
        return r;
    };
    const std::pair<const char*, std::string> damaged[] = {
        {"empty", ""},
        {"not a record", "not a MARC record at all"},
        {"cut short", good.substr(0, good.size() / 2)},
        {"octets after the record", good + "00"},
        {"leader length too large", withAt(4, static_cast<char>(good[4] + 1))},
        {"letter in the directory", withAt(28, 'Z')},
        {"field starting past the end", withAt(43, '9')},
        {"field terminator missing", withAt(good.size() - 2, 'x')},
    };
    for (const auto& [what, record] : damaged) {
        const auto out = convert("ISO-8859-1", "utf-8", record);
        EXPECT_EQ(out.error, MarcConversionError::Undecodable) << what;
        EXPECT_TRUE(out.record.empty()) << what;
    }
}

TEST(MarcCharsetConverter, RefusesOctetsTheSourceCodingDoesNotHave) {
    EXPECT_EQ(convert("utf-8", "ISO-8859-1", titleRecord("Caf\xC3x")).error,
              MarcConversionError::Undecodable);
    EXPECT_EQ(convert("utf-8", "utf-8", titleRecord("\xFF")).error,
              MarcConversionError::Undecodable);
    EXPECT_EQ(convert("CP1252", "utf-8", titleRecord("a\x81z")).error,
              MarcConversionError::Undecodable);
}

TEST(MarcCharsetConverter, UnknownCodingIsRefused) {
    EXPECT_TRUE(MarcCharsetConverter::opens("utf-8"));
    EXPECT_TRUE(MarcCharsetConverter::opens("marc8"));
    EXPECT_FALSE(MarcCharsetConverter::opens("no-such-coding"));

    const MarcCharsetConverter converter("no-such-coding", "utf-8");
    EXPECT_FALSE(converter.ready());
    EXPECT_EQ(converter.convert(titleRecord("x")).error, MarcConversionError::UnknownCoding);
}

TEST(MarcCharsetConverter, ConvertsSampleRecordsInOtherCodings) {
    SKIP_WITHOUT_MARC_SAMPLES();
    const auto cyrillic = sampleRecords("pym_1251.dat");
    ASSERT_FALSE(cyrillic.empty());
    const auto unicode = convert("CP1251", "utf-8", cyrillic[0]);
    const auto fields = fieldsOf(unicode.record);
    const auto author = std::find_if(fields.begin(), fields.end(),
                                     [](const TestField& f) { return f.tag == "100"; });
    ASSERT_NE(author, fields.end());
    EXPECT_EQ(author->data, "1 \x1F"
                            "a\xD0\x98\xD0\xBB\xD1\x8C\xD0\xB8\xD0\xBD\xD0\xB0, "
                            "\xD0\xA2\xD0\xB0\xD1\x82\xD1\x8C\xD1\x8F\xD0\xBD\xD0\xB0 "
                            "\xD0\x9D\xD0\xB8\xD0\xBA\xD0\xBE\xD0\xBB\xD0\xB0\xD0\xB5\xD0\xB2"
                            "\xD0\xBD\xD0\xB0");
    // Through KOI8-R and back, every record keeps every field.
    for (const auto& record : cyrillic) {
        const auto koi8 = convert("CP1251", "KOI8-R", record);
        ASSERT_TRUE(koi8);
        EXPECT_NE(fieldsOf(koi8.record), fieldsOf(record));
        EXPECT_EQ(fieldsOf(convert("KOI8-R", "CP1251", koi8.record).record), fieldsOf(record));
    }

    const auto marc8 = sampleRecords("pym_marc8.dat");
    ASSERT_EQ(marc8.size(), 1u);
    const auto western = fieldsOf(convert("marc8", "CP1252", marc8[0]).record);
    const auto uniform = std::find_if(western.begin(), western.end(),
                                      [](const TestField& f) { return f.tag == "240"; });
    ASSERT_NE(uniform, western.end());
    EXPECT_EQ(uniform->data, "10\x1F"
                             "aDe la solitude \xE0 la communaut\xE9.\x1Fl"
                             "English.");
}

// MARC 21 fixes the leader's indicator and subfield code lengths (10, 11)
// and its entry map (20 to 23); a record that says otherwise there but is
// laid out as MARC 21 is read as MARC 21, every field kept, never as the
// leader says (which would read its directory as something else).
TEST(MarcCharsetConverter, ReadsTheLayoutMarc21FixesWhateverTheLeaderSays) {
    const struct {
        std::size_t at;
        std::string_view bytes;
    } odd[] = {{20, "2450"}, {20, "9999"}, {10, "31"}, {10, "  "}, {20, "45  "}};
    for (const auto& o : odd) {
        SCOPED_TRACE(std::string(o.bytes) + " at " + std::to_string(o.at));
        std::string record = titleRecord("Caf\xC3\xA9", 'a');
        record.replace(o.at, o.bytes.size(), o.bytes);
        ASSERT_TRUE(isWellFormedIso2709(record));
        for (const auto& [from, to] : {std::pair{"utf-8", "marc8"}, std::pair{"utf-8", "utf-8"}}) {
            const MarcConversion converted = convert(from, to, record);
            ASSERT_EQ(converted.error, MarcConversionError::None) << from << " to " << to;
            const auto fields = iso2709FieldData(converted.record);
            ASSERT_TRUE(fields) << from << " to " << to;
            EXPECT_EQ(fields->size(), 2u);
            EXPECT_EQ(converted.record.substr(20, 4), "4500");
            EXPECT_EQ(converted.record.substr(10, 2), "22");
        }
    }
}
