// The text form: its exact lines, its escapes, and reading it back.

#include "marc/mnemonic_reader.h"
#include "marc/mnemonic_writer.h"
#include "marc/record_view.h"
#include "test_support.h"

namespace marc::testing {
namespace {

std::string mrk(const Record& record) {
    std::string out;
    appendMnemonic(record, out);
    return out;
}

std::vector<Record> readText(std::string_view text, std::vector<Issue>* issues = nullptr,
                             ReadOptions options = {}) {
    MnemonicReader reader(text, options);
    std::vector<Record> records;
    for (;;) {
        auto record = reader.next();
        if (issues)
            issues->insert(issues->end(), reader.issues().begin(), reader.issues().end());
        if (!record)
            return records;
        records.push_back(std::move(*record));
    }
}

TEST(MnemonicForm, WritesOneLinePerFieldWithBlanksAsBackslashes) {
    Record r = sampleRecord();
    r.leader() = *Leader::fromText("00714cam a2200205 a 4500");
    r.appendField(Field::data("650", ' ', '0', {{'a', "Comic books, strips, etc."}}));
    EXPECT_EQ(mrk(r), "=LDR  00714cam\\a2200205\\a\\4500\n"
                      "=001  12345\n"
                      "=008  000313s2000\\\\\\\\nyu\n"
                      "=245  10$aTitle :$bsubtitle.\n"
                      "=650  \\0$aComic books, strips, etc.\n"
                      "\n");
}

TEST(MnemonicForm, EscapesWhatWouldBeMisread) {
    Record r;
    r.appendField(Field::control("001", "a\\b c{d}$"));
    r.appendField(Field::data("500", "\\ ",
                              {{'a', "US$ 5 {approx.} C:\\dir\x1E"},
                               {'$', "dollar code"},
                               {NoSubfieldCode, ""},
                               {'{', "x"}}));
    const std::string text = mrk(r);
    EXPECT_EQ(text, "=LDR  00000nam\\a2200000\\a\\4500\n"
                    "=001  a{bsol}b\\c{lcub}d}{dollar}\n"
                    "=500  {bsol}\\$aUS{dollar} 5 {lcub}approx.} C:\\dir{1E}${dollar}dollar code$"
                    "${lcub}x\n"
                    "\n");
    const auto back = readText(text);
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0], r);
}

TEST(MnemonicForm, ViewsEscapeEveryByteValueAsRecordsDo) {
    // Each byte value at many positions of a leader, control field, indicators,
    // codes and values: the view writer's fast paths against the record writer.
    for (int value = 0; value < 256; ++value) {
        const char b = static_cast<char>(value);
        const std::size_t at = static_cast<std::size_t>(value) % 37;
        std::string text(40, 'x');
        text[at] = b;
        Record r;
        r.leader().set(at % 24, b);
        r.appendField(Field::control("005", text.substr(0, at + 1)));
        r.appendField(
            Field::data("245", std::string{b, ' '},
                        {{'a', text}, {b == SubfieldDelimiter ? 'b' : b, text.substr(at)}}));
        r.appendField(Field::data("500", std::string(1, b), {{'a', text.substr(0, at)}}));
        const std::string bytes = iso(r);
        const ParseResult parsed = parseRecord(bytes);
        ASSERT_TRUE(parsed.record) << value;
        const Record viewed = Record::fromView(*parsed.record);
        std::string fromView;
        appendMnemonic(*parsed.record, fromView);
        ASSERT_EQ(fromView, mrk(viewed)) << value;
        const auto back = readText(fromView);
        ASSERT_EQ(back.size(), 1u) << value;
        EXPECT_EQ(iso(back[0]), bytes) << value;
    }
}

TEST(MnemonicForm, ReadsHandWrittenTextLeniently) {
    // CRLF line ends, one blank after the tag, {rcub}, lower-case hex, a stray
    // brace, and records parted by "=LDR" alone.
    const std::string text = "=LDR  00000cz\\\\a2200000n\\\\4500\r\n"
                             "=001 n 79021800\r\n"
                             "=100  1\\$aDoe, J.{rcub}{1e}$b{nope}\r\n"
                             "=LDR  00000nam\\a2200000\\a\\4500\n"
                             "=245  00$aSecond\n";
    std::vector<Issue> issues;
    const auto records = readText(text, &issues);
    EXPECT_TRUE(issues.empty());
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].recordType(), RecordType::Authority);
    EXPECT_EQ(records[0].controlValue("001"), "n 79021800");
    const Field* heading = records[0].findField("100");
    ASSERT_NE(heading, nullptr);
    EXPECT_EQ(heading->indicators(), "1 ");
    EXPECT_EQ(heading->subfield('a'), "Doe, J.}\x1E");
    EXPECT_EQ(heading->subfield('b'), "{nope}");
    EXPECT_EQ(records[1].findField("245")->subfield('a'), "Second");
}

TEST(MnemonicForm, WrittenIso2709MatchesTheTextsRecord) {
    const std::string text = "=LDR  00000nam\\a2200000\\a\\4500\n"
                             "=001  12345\n"
                             "=008  000313s2000\\\\\\\\nyu\n"
                             "=245  10$aTitle :$bsubtitle.\n";
    const auto records = readText(text);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(iso(records[0]), iso(sampleRecord()));
}

TEST(MnemonicForm, BadLinesMakeTheirRecordAnErrorAndReadingGoesOn) {
    const std::string text = "=LDR  00000nam\\a2200000\\a\\4500\n" // line 1
                             "=001  1\n"
                             "\n"
                             "=001  orphan\n" // line 4: no leader
                             "=245  10$aLost\n"
                             "\n"
                             "=LDR  short\n" // line 7
                             "=LDR  00000nam\\a2200000\\a\\4500\n"
                             "245  10$aNo equals sign\n" // line 9
                             "\n"
                             "=LDR  00000nam\\a2200000\\a\\4500\n"
                             "=24\n" // line 12
                             "=LDR  00000nam\\a2200000\\a\\4500\n"
                             "=001  2\n";
    std::vector<Issue> issues;
    const auto records = readText(text, &issues);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].controlValue("001"), "1");
    EXPECT_EQ(records[1].controlValue("001"), "2");
    ASSERT_EQ(issues.size(), 4u);
    EXPECT_EQ(describe(issues[0]), "line 4: the record does not begin with =LDR");
    EXPECT_EQ(issues[0].offset, text.find("=001  orphan"));
    EXPECT_EQ(describe(issues[1]), "line 7: the leader has 5 bytes, not 24");
    EXPECT_EQ(describe(issues[2]), "line 9: a line of the text form begins with \"=\" and a tag: "
                                   "\"245  10$aNo equals s\"");
    EXPECT_EQ(describe(issues[3]), "line 12: the tag \"24\" has fewer than three bytes");

    std::vector<Issue> strictIssues;
    const auto strict = readText(text, &strictIssues, {true, 1 << 20});
    EXPECT_EQ(strict.size(), 1u);
    EXPECT_EQ(strictIssues.size(), 1u);
}

TEST(MnemonicForm, ViewsAndRecordsWriteTheSameText) {
    const std::string bytes = iso(sampleRecord()) + iso(sampleRecord("67890"));
    Reader reader(bytes);
    std::string fromViews;
    std::string fromRecords;
    while (auto view = reader.next()) {
        appendMnemonic(*view, fromViews);
        appendMnemonic(Record::fromView(*view), fromRecords);
    }
    EXPECT_EQ(fromViews, fromRecords);
    EXPECT_EQ(fromViews.substr(0, 31), "=LDR  00110nam\\a2200061\\a\\4500\n");
}

} // namespace
} // namespace marc::testing
