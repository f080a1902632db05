// Every sample file read as its bytes say it should be: how many records are
// well-formed, how many are malformed, and where and why.

#include "marc/mnemonic_reader.h"
#include "marc/mnemonic_writer.h"
#include "marc/record_view.h"
#include "marc/testing/well_formed_files.h"
#include "test_support.h"

#include <map>
#include <set>
#include <sstream>

namespace marc::testing {
namespace {

struct Expected {
    std::size_t records; // well-formed records
    std::size_t errors;  // malformed records or stretches
    std::size_t warnings;
};

// Counted from the files' bytes: each record's length, base address and
// directory checked against its data, and SOURCES.md's record counts.
const std::map<std::string, Expected> expectedCounts = {
    {"eg_auth-subset100.mrc", {17, 0, 0}},
    {"eg_hebrew.marc", {20, 0, 0}},
    {"eg_lul_fre_100.mrc", {100, 0, 0}},
    {"eg_nepali.marc", {96, 0, 0}},
    {"eg_serials_mfhd.mrc", {7, 0, 0}},
    {"m4j_065001035.mrc", {40, 0, 0}},
    {"m4j_bad_leaders_10_11.mrc", {1, 0, 1}},
    {"m4j_bad_oversize_field_bad_directory.mrc", {4, 1, 0}},
    {"m4j_bad_too_long_plus_2.mrc", {2, 1, 0}},
    {"m4j_brkrtest.mrc", {8, 0, 0}},
    {"m4j_brkrtest_UTF8.mrc", {8, 0, 0}},
    {"m4j_chabon.mrc", {2, 0, 0}},
    {"m4j_kan1222221.mrc", {1, 0, 0}},
    {"m4j_pride-and-prejudice-fixed.mrc", {383, 0, 0}},
    {"m4j_pride-and-prejudice-with-many-errors.mrc", {367, 16, 0}},
    {"m4j_sample1.mrc", {8, 0, 0}},
    {"m4j_unordered-directory-entries.mrc", {1, 0, 1}},
    {"pym_1251.dat", {6, 0, 0}},
    {"pym_alphatag.dat", {1, 0, 0}},
    {"pym_bad_indicator.dat", {1, 0, 0}},
    {"pym_bad_records.mrc", {3, 5, 0}},
    {"pym_diacritic.dat", {1, 0, 0}},
    {"pym_marc8.dat", {1, 0, 0}},
    {"pym_one.dat", {1, 0, 0}},
    {"pym_regression45.dat", {12, 0, 0}},
    {"pym_test.dat", {10, 0, 0}},
    {"pym_utf8_invalid.mrc", {1, 0, 0}},
    {"pym_utf8_with_leader_flag.dat", {1, 0, 0}},
    {"pym_utf8_without_leader_flag.dat", {1, 0, 0}},
};

TEST(RealFiles, EveryFileInTheFolderHasItsExpectedCounts) {
    VELUMAR_REQUIRE_MARC_DATA();
    std::set<std::string> seen;
    for (const auto& entry : std::filesystem::directory_iterator(dataDir())) {
        const std::string name = entry.path().filename().string();
        if (entry.path().extension() == ".md")
            continue;
        seen.insert(name);
        const auto expected = expectedCounts.find(name);
        ASSERT_NE(expected, expectedCounts.end()) << name << " has no expected counts here";
        const ReadAll all = readAll(dataFile(name));
        EXPECT_EQ(all.records.size(), expected->second.records) << name;
        EXPECT_EQ(all.errors, expected->second.errors) << name;
        EXPECT_EQ(all.warnings, expected->second.warnings) << name;
    }
    EXPECT_EQ(seen.size(), expectedCounts.size()) << "a listed file is missing from the folder";
}

TEST(RealFiles, BlockReadingFromAStreamFindsWhatBufferReadingFinds) {
    VELUMAR_REQUIRE_MARC_DATA();
    // Small blocks put block edges inside lengths, directories and terminators.
    for (const std::size_t block : {std::size_t{1}, std::size_t{7}, std::size_t{4096}}) {
        for (const auto& [name, expected] : expectedCounts) {
            const std::string bytes = dataFile(name);
            const ReadAll fromBuffer = readAll(bytes);
            Reader reader(std::make_unique<std::istringstream>(bytes), {false, block});
            const ReadAll fromStream = readAll(reader);
            EXPECT_EQ(fromStream.records, fromBuffer.records) << name << " block " << block;
            EXPECT_EQ(fromStream.offsets, fromBuffer.offsets) << name << " block " << block;
            ASSERT_EQ(fromStream.issues.size(), fromBuffer.issues.size()) << name;
            for (std::size_t i = 0; i < fromStream.issues.size(); ++i)
                EXPECT_EQ(describe(fromStream.issues[i]), describe(fromBuffer.issues[i]));
        }
    }
}

TEST(RealFiles, FileReaderReadsFromDisk) {
    VELUMAR_REQUIRE_MARC_DATA();
    auto reader = Reader::openFile((dataDir() / "m4j_pride-and-prejudice-fixed.mrc").string());
    ASSERT_TRUE(reader);
    const ReadAll all = readAll(*reader);
    EXPECT_EQ(all.records.size(), 383u);
    EXPECT_FALSE(Reader::openFile((dataDir() / "no-such-file.mrc").string()));
}

TEST(RealFiles, WellFormedFilesWriteBackByteForByte) {
    VELUMAR_REQUIRE_MARC_DATA();
    for (const std::string& name : marc::testing::WellFormedFiles) {
        const std::string bytes = dataFile(name);
        Reader reader(bytes);
        std::string fromViews;
        std::string fromModel;
        while (auto view = reader.next()) {
            EXPECT_FALSE(appendIso2709(*view, fromViews));
            EXPECT_FALSE(appendIso2709(Record::fromView(*view), fromModel));
        }
        EXPECT_TRUE(fromViews == bytes) << name << ": written from views";
        EXPECT_TRUE(fromModel == bytes) << name << ": written from the record model";
    }
}

TEST(RealFiles, TextFormRoundTripGivesTheSameBytes) {
    VELUMAR_REQUIRE_MARC_DATA();
    for (const std::string& name : marc::testing::WellFormedFiles) {
        const std::string bytes = dataFile(name);
        Reader reader(bytes);
        std::string text;
        while (auto view = reader.next())
            appendMnemonic(*view, text);
        MnemonicReader back(text);
        std::string written;
        while (auto record = back.next())
            EXPECT_FALSE(appendIso2709(*record, written));
        EXPECT_EQ(back.errorCount(), 0u) << name;
        EXPECT_TRUE(written == bytes) << name;
    }
}

TEST(RealFiles, PaddingAfterTheLastRecordIsNotARecord) {
    VELUMAR_REQUIRE_MARC_DATA();
    // One 1159-byte record, then 821 blanks.
    const std::string bytes = dataFile("pym_bad_indicator.dat");
    const ReadAll all = readAll(bytes);
    ASSERT_EQ(all.records.size(), 1u);
    EXPECT_TRUE(all.issues.empty());
    EXPECT_EQ(all.records[0], bytes.substr(0, 1159));
    // Its "0 2" field lacks indicators; the model keeps that and writes it back.
    Reader reader(bytes);
    const Record record = Record::fromView(*reader.next());
    const Field* odd = record.findField("0 2");
    ASSERT_NE(odd, nullptr);
    EXPECT_EQ(odd->indicators(), "");
    EXPECT_EQ(odd->subfield('a'), "9780253325525 (alk. paper)");
    EXPECT_EQ(iso(record), bytes.substr(0, 1159));
}

TEST(RealFiles, BadRecordsAreReportedWhereTheyAreWithTheirReasons) {
    VELUMAR_REQUIRE_MARC_DATA();
    const std::string bytes = dataFile("pym_bad_records.mrc");
    const ReadAll all = readAll(bytes);
    // Eight 127- or 128-byte records and a closing line end.
    EXPECT_EQ(all.offsets, (std::vector<std::size_t>{0, 764, 790}));
    struct Want {
        IssueKind kind;
        std::size_t record;
        std::size_t offset;
        std::string reason;
    };
    const std::vector<Want> want = {
        {IssueKind::BaseAddressOutOfRange, 127, 139,
         "base address of data 99937 lies outside the record (length 127)"},
        {IssueKind::BaseAddressOutOfRange, 254, 266,
         "base address of data 0 leaves no room for the leader and the directory terminator"},
        {IssueKind::BadDirectoryLength, 381, 405, "directory length 13 is not a multiple of 12"},
        {IssueKind::BadDirectoryLength, 509, 533, "directory length 13 is not a multiple of 12"},
        {IssueKind::BadBaseAddress, 637, 649, "base address of data \"f0037\" is not five digits"},
    };
    ASSERT_EQ(all.issues.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i) {
        EXPECT_EQ(all.issues[i].severity, Severity::Error);
        EXPECT_EQ(all.issues[i].kind, want[i].kind) << i;
        EXPECT_EQ(all.issues[i].recordOffset, want[i].record) << i;
        EXPECT_EQ(all.issues[i].offset, want[i].offset) << i;
        EXPECT_EQ(all.issues[i].reason, want[i].reason) << i;
    }
    // The record at 764 is a leader and nothing else: well-formed, without fields.
    Reader reader(bytes);
    reader.next();
    const auto empty = reader.next();
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->fieldCount(), 0u);
    EXPECT_EQ(empty->bytes().size(), 26u);
}

TEST(RealFiles, ManyErrorsFileLosesOnlyItsSixteenShortDirectories) {
    VELUMAR_REQUIRE_MARC_DATA();
    const std::string bytes = dataFile("m4j_pride-and-prejudice-with-many-errors.mrc");
    // Each of these records lost a byte of its directory, whose length is no
    // longer a multiple of 12; their lengths still frame them.
    const std::vector<std::pair<std::size_t, std::size_t>> bad = {
        {90472, 119},  {175054, 131}, {195563, 119}, {237343, 107}, {255864, 203}, {256626, 203},
        {257388, 203}, {258150, 503}, {264227, 119}, {267727, 119}, {272729, 131}, {290474, 155},
        {314321, 119}, {315124, 143}, {328796, 131}, {350745, 143}};
    const ReadAll all = readAll(bytes);
    ASSERT_EQ(all.issues.size(), bad.size());
    std::string expectedOutput;
    std::size_t from = 0;
    for (std::size_t i = 0; i < bad.size(); ++i) {
        const Issue& issue = all.issues[i];
        EXPECT_EQ(issue.kind, IssueKind::BadDirectoryLength);
        EXPECT_EQ(issue.recordOffset, bad[i].first);
        EXPECT_EQ(issue.offset, bad[i].first + 24);
        EXPECT_EQ(issue.reason,
                  "directory length " + std::to_string(bad[i].second) + " is not a multiple of 12");
        expectedOutput += bytes.substr(from, bad[i].first - from);
        from = bad[i].first + issue.length;
    }
    expectedOutput += bytes.substr(from);
    // Everything else is read and written back unchanged.
    std::string written;
    for (const std::string& record : all.records)
        written += record;
    EXPECT_TRUE(written == expectedOutput);
}

TEST(RealFiles, RecordLongerThanItsLengthIsSkippedToItsTerminator) {
    VELUMAR_REQUIRE_MARC_DATA();
    // The first record is 123375 bytes, more than five digits can say; its
    // length field reads 23375.
    const ReadAll all = readAll(dataFile("m4j_bad_too_long_plus_2.mrc"));
    ASSERT_EQ(all.issues.size(), 1u);
    EXPECT_EQ(all.issues[0].kind, IssueKind::MissingRecordTerminator);
    EXPECT_EQ(all.issues[0].offset, 0u);
    EXPECT_EQ(all.issues[0].length, 123375u);
    EXPECT_EQ(all.issues[0].reason,
              "record length 23375 does not end at a record terminator; skipped to the record "
              "terminator at offset 123374 (123375 bytes)");
    EXPECT_EQ(all.offsets, (std::vector<std::size_t>{123375, 124682}));
}

TEST(RealFiles, OversizeFieldDirectoryIsReportedAndTheRestRead) {
    VELUMAR_REQUIRE_MARC_DATA();
    const ReadAll all = readAll(dataFile("m4j_bad_oversize_field_bad_directory.mrc"));
    ASSERT_EQ(all.issues.size(), 1u);
    EXPECT_EQ(all.issues[0].recordOffset, 1571u);
    EXPECT_EQ(all.issues[0].length, 11833u);
    EXPECT_EQ(all.issues[0].reason, "directory length 217 is not a multiple of 12");
    EXPECT_EQ(all.offsets, (std::vector<std::size_t>{0, 13404, 16133, 18823}));
}

TEST(RealFiles, BlankLeaderCountsAreReadAsMarc21WithAWarning) {
    VELUMAR_REQUIRE_MARC_DATA();
    const std::string bytes = dataFile("m4j_bad_leaders_10_11.mrc");
    Reader reader(bytes);
    const auto record = reader.next();
    ASSERT_TRUE(record);
    ASSERT_EQ(reader.issues().size(), 1u);
    const Issue& warning = reader.issues()[0];
    EXPECT_EQ(warning.severity, Severity::Warning);
    EXPECT_EQ(warning.kind, IssueKind::NonStandardLeader);
    EXPECT_EQ(warning.offset, 10u);
    EXPECT_EQ(warning.reason, "leader 10-11 read \"  \" instead of \"22\" and 20-21 read \"  \" "
                              "instead of \"45\"; the record is read as MARC 21 fixes them");
    EXPECT_EQ(record->findField("001")->value(), "2600772");
    EXPECT_EQ(record->findField("245")->subfield('a'), "Sammlung :");
}

TEST(RealFiles, UnorderedDirectoryIsReadInDirectoryOrderAndWrittenInOrder) {
    VELUMAR_REQUIRE_MARC_DATA();
    const std::string bytes = dataFile("m4j_unordered-directory-entries.mrc");
    Reader reader(bytes);
    const auto view = reader.next();
    ASSERT_TRUE(view);
    ASSERT_EQ(reader.issues().size(), 1u);
    EXPECT_EQ(reader.issues()[0].kind, IssueKind::DataLayout);
    EXPECT_EQ(reader.issues()[0].offset, 24u + 4 * 12 + 7); // the first 020's start
    // The first 020 in the directory points past the second's data.
    EXPECT_EQ(view->field(4).data(), bytes.substr(421 + 123, 39));
    EXPECT_EQ(view->field(5).data(), bytes.substr(421 + 86, 36));

    const Record record = Record::fromView(*view);
    const std::string written = iso(record);
    EXPECT_EQ(written.size(), bytes.size());
    EXPECT_NE(written, bytes);
    const ParseResult again = parseRecord(written);
    ASSERT_TRUE(again.record);
    EXPECT_TRUE(again.warnings.empty());
    EXPECT_EQ(Record::fromView(*again.record), record);
}

TEST(RealFiles, LeaderHelpersClassifyTheSamples) {
    VELUMAR_REQUIRE_MARC_DATA();
    auto tally = [](const std::string& name) {
        std::map<std::pair<RecordType, CharacterCoding>, std::size_t> counts;
        const std::string bytes = dataFile(name);
        Reader reader(bytes);
        while (auto r = reader.next())
            ++counts[{r->recordType(), r->characterCoding()}];
        return counts;
    };
    using B = RecordType;
    using C = CharacterCoding;
    using Counts = std::map<std::pair<RecordType, CharacterCoding>, std::size_t>;
    EXPECT_EQ(tally("eg_auth-subset100.mrc"), (Counts{{{B::Authority, C::Unicode}, 17}}));
    EXPECT_EQ(tally("eg_serials_mfhd.mrc"), (Counts{{{B::Holdings, C::Unicode}, 7}}));
    EXPECT_EQ(tally("m4j_sample1.mrc"),
              (Counts{{{B::Bibliographic, C::Unicode}, 4}, {{B::Holdings, C::Unicode}, 4}}));
    EXPECT_EQ(tally("eg_lul_fre_100.mrc"), (Counts{{{B::Bibliographic, C::NonUnicode}, 100}}));
    EXPECT_EQ(tally("pym_regression45.dat"), (Counts{{{B::Bibliographic, C::Unicode}, 12}}));
    EXPECT_EQ(tally("pym_utf8_without_leader_flag.dat"),
              (Counts{{{B::Bibliographic, C::NonUnicode}, 1}}));
}

TEST(RealFiles, FieldLookupsOnARealRecord) {
    VELUMAR_REQUIRE_MARC_DATA();
    const std::string bytes = dataFile("m4j_chabon.mrc");
    Reader reader(bytes);
    const auto view = reader.next();
    ASSERT_TRUE(view);
    EXPECT_EQ(view->findField("001")->value(), "11939876");
    const auto title = view->findField("245");
    ASSERT_TRUE(title);
    EXPECT_EQ(title->indicators(), "14");
    EXPECT_EQ(title->subfield('a'), "The amazing adventures of Kavalier and Clay :");
    EXPECT_EQ(title->subfield('c'), "Michael Chabon.");
    EXPECT_FALSE(title->subfield('z'));
    EXPECT_FALSE(view->findField("999"));

    const Record record = Record::fromView(*view);
    const auto subjects = record.findFields("650");
    ASSERT_EQ(subjects.size(), 5u);
    EXPECT_EQ(subjects[0]->subfield('x'), "Authorship");
    EXPECT_EQ(subjects[4]->subfield('a'), "Cartoonists");
    EXPECT_EQ(record.controlValue("005"), "20041229190604.0");
}

} // namespace
} // namespace marc::testing
