// Index key forms: folding of real cataloguing text, the number forms, and
// the entries a record gives whatever its coding.

#include "catalogue/index_codes.h"
#include "catalogue/index_keys.h"
#include "catalogue/text_fold.h"
#include "catalogue_support.h"
#include "marc/reader.h"
#include "marc/record_view.h"

#include <gtest/gtest.h>

using namespace orvane::server;
using namespace orvane::server::testing;

namespace {

std::vector<std::string> keysOf(const std::string& octets, RecordKind kind, std::string_view code) {
    IndexKeys keys;
    const auto parsed = marc::parseRecord(std::string_view(octets));
    EXPECT_TRUE(parsed.record.has_value());
    std::vector<std::string> out;
    for (const auto& entry : keys.of(*parsed.record, kind))
        if (entry.code == code)
            out.push_back(entry.key);
    return out;
}

using Keys = std::vector<std::string>;

} // namespace

TEST(TextFolding, FoldsCaseDiacriticsAndPunctuation) {
    EXPECT_EQ(foldText("Études : l'œuvre de Søren Åberg."), "etudes l oeuvre de soren aberg");
    EXPECT_EQ(foldText("Straße -- Ærø, Łódź / Ñandú"), "strasse aero lodz nandu");
    EXPECT_EQ(foldText("Nguyễn Thị Ánh"), "nguyen thi anh");
    // Decomposed letters (a base and a combining mark) fold like composed ones.
    EXPECT_EQ(foldText("Cafe\xCC\x81 Mu\xCC\x88ller"), foldText("Café Müller"));
    EXPECT_EQ(foldText("  --  "), "");
}

TEST(TextFolding, KeepsOtherScriptsAndLowersGreekAndCyrillic) {
    EXPECT_EQ(foldText("МОСКВА Αθήνα"), "москва αθήνα");
    // Devanagari vowel signs are part of the word, not marks to drop.
    EXPECT_EQ(foldText("नेपाली भाषा।"), "नेपाली भाषा");
    // Hebrew points go; the letters stay.
    EXPECT_EQ(foldText("שָׁלוֹם"), "שלום");
}

TEST(TextFolding, BadUtf8PartsWordsInsteadOfFailing) {
    EXPECT_EQ(foldText("abc\xFF"
                       "def"),
              "abc def");
    EXPECT_EQ(wordsOf(foldText("one, two;three")),
              (std::vector<std::string_view>{"one", "two", "three"}));
}

TEST(KeyForms, ControlNumbersIgnoreCaseAndBlanksOnly) {
    EXPECT_EQ(normaliseKey(KeyForm::ControlNumber, "(ABC) 12345"), "(abc)12345");
    EXPECT_EQ(normaliseKey(KeyForm::ControlNumber, "(abc)12345"), "(abc)12345");
    EXPECT_NE(normaliseKey(KeyForm::ControlNumber, "(ABC)12345"),
              normaliseKey(KeyForm::ControlNumber, "ABC12345"));
}

TEST(KeyForms, IsbnIssnAndLccn) {
    EXPECT_EQ(normaliseKey(KeyForm::Isbn, "0-306-40615-2 (pbk.)"), "0306406152");
    EXPECT_EQ(otherIsbnForm("0306406152"), "9780306406157");
    EXPECT_EQ(otherIsbnForm("9780306406157"), "0306406152");
    EXPECT_EQ(otherIsbnForm("9791234567896"), std::nullopt);
    EXPECT_EQ(normaliseKey(KeyForm::Isbn, "030640615x"), "030640615X");
    EXPECT_EQ(normaliseKey(KeyForm::Isbn, "12345"), "");
    EXPECT_EQ(normaliseKey(KeyForm::Issn, "0378-5955"), "03785955");
    EXPECT_EQ(normaliseKey(KeyForm::Lccn, "n 79-21164"), "n79021164");
    EXPECT_EQ(normaliseKey(KeyForm::Lccn, "   85012345 /AC/r86"), "85012345");
}

TEST(IndexEntries, Marc8AndUnicodeRecordsOfTheSameTitleGiveTheSameKeys) {
    // MARC-8 puts the combining acute (E2) before its letter.
    const auto marc8 = makeRecord(Marc8BibLeader, {{"001", "1"},
                                                   {"245", "10$a\xE2"
                                                           "Etudes litt\xE2"
                                                           "eraires"}});
    const auto unicode = makeRecord(BibLeader, {{"001", "1"}, {"245", "10$aÉtudes littéraires"}});
    EXPECT_EQ(keysOf(marc8, RecordKind::Bibliographic, "TI"), (Keys{"etudes", "litteraires"}));
    EXPECT_EQ(keysOf(unicode, RecordKind::Bibliographic, "TI"), (Keys{"etudes", "litteraires"}));
}

TEST(IndexEntries, EachKindFeedsItsOwnIndexes) {
    const auto bib = makeRecord(BibLeader, {{"001", "1"},
                                            {"020", "  $a0-306-40615-2"},
                                            {"035", "  $a(ABC) 77"},
                                            {"100", "1 $aÅberg, Ingrid,$d1901-1980."},
                                            {"245", "10$aHarbours :$bsurvey"},
                                            {"650", " 0$aHarbors$zNorway."}});
    EXPECT_EQ(keysOf(bib, RecordKind::Bibliographic, "035A"), (Keys{"(abc)77"}));
    EXPECT_EQ(keysOf(bib, RecordKind::Bibliographic, "ISBN"),
              (Keys{"0306406152", "9780306406157"}));
    EXPECT_EQ(keysOf(bib, RecordKind::Bibliographic, "AU"),
              (Keys{"1901", "1980", "aberg", "ingrid"}));
    EXPECT_EQ(keysOf(bib, RecordKind::Bibliographic, "SU"), (Keys{"harbors", "norway"}));
    EXPECT_TRUE(keysOf(bib, RecordKind::Bibliographic, "A35A").empty());

    const auto auth = makeRecord(AuthorityLeader, {{"001", "1"},
                                                   {"035", "  $a(ABC)n5"},
                                                   {"100", "1 $aÅberg, Ingrid,$d1901-1980"},
                                                   {"400", "1 $aAberg, I."}});
    EXPECT_EQ(keysOf(auth, RecordKind::Authority, "A35A"), (Keys{"(abc)n5"}));
    EXPECT_EQ(keysOf(auth, RecordKind::Authority, "AH"),
              (Keys{"aberg i", "aberg ingrid 1901 1980"}));
    EXPECT_TRUE(keysOf(auth, RecordKind::Authority, "035A").empty());
}

TEST(IndexEntries, RealMarc8AndUnicodeCopiesOfTheSameRecordsAgree) {
    VELUMAR_SAMPLE_OR_SKIP(marc8Path, "m4j_brkrtest.mrc");
    VELUMAR_SAMPLE_OR_SKIP(unicodePath, "m4j_brkrtest_UTF8.mrc");
    auto marc8 = marc::Reader::openFile(*marc8Path);
    auto unicode = marc::Reader::openFile(*unicodePath);
    ASSERT_TRUE(marc8 && unicode);
    IndexKeys a;
    IndexKeys b;
    std::size_t compared = 0;
    std::size_t titlesWithMarks = 0;
    for (;;) {
        auto x = marc8->next();
        auto y = unicode->next();
        if (!x || !y)
            break;
        ASSERT_NE(x->characterCoding(), y->characterCoding());
        auto title = [](const std::vector<IndexEntry>& all) {
            Keys out;
            for (const auto& e : all)
                if (e.code == "TI")
                    out.push_back(e.key);
            return out;
        };
        const Keys fromMarc8 = title(a.of(*x, RecordKind::Bibliographic));
        const Keys fromUnicode = title(b.of(*y, RecordKind::Bibliographic));
        EXPECT_EQ(fromMarc8, fromUnicode) << "record " << compared;
        for (const auto& key : fromUnicode)
            if (key.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789") != std::string::npos)
                ++titlesWithMarks;
        ++compared;
    }
    EXPECT_EQ(compared, 8u);
    // Folding left every title word plain: none kept a mark or a special letter.
    EXPECT_EQ(titlesWithMarks, 0u);
}
