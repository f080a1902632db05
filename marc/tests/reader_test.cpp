// Reading records from bytes: each kind of damage reported at its offset with
// its reason, and reading resumed where the next record really begins.

#include "marc/record_view.h"
#include "test_support.h"

#include <sstream>

namespace marc::testing {
namespace {

// sampleRecord() is 110 bytes: leader, directory at 24-59 (001, 008, 245), its
// terminator at 60, data from 61: 001 to 66, 008 to 85, 245 to 108, then 109.
constexpr std::size_t RecordSize = 110;

// Five-byte ids keep every record at the same size.
std::string good(int id) {
    std::string digits = std::to_string(id);
    return iso(sampleRecord(std::string(5 - digits.size(), '0') + digits));
}

std::string damaged(std::size_t at, std::string_view bytes) {
    std::string r = good(99999);
    r.replace(at, bytes.size(), bytes);
    return r;
}

// A good record, the given bytes, and another good record.
ReadAll readBetween(const std::string& middle, ReadOptions options = {}) {
    return readAll(good(1) + middle + good(2), options);
}

void expectOneError(const ReadAll& all, IssueKind kind, std::size_t offset,
                    const std::string& reason) {
    ASSERT_EQ(all.issues.size(), 1u);
    EXPECT_EQ(all.issues[0].severity, Severity::Error);
    EXPECT_EQ(all.issues[0].kind, kind);
    EXPECT_EQ(all.issues[0].offset, offset);
    EXPECT_EQ(all.issues[0].reason, reason);
    EXPECT_EQ(all.errors, 1u);
}

TEST(ReaderStructure, SampleRecordHasTheLayoutTheseTestsAssume) {
    const std::string r = good(99999);
    ASSERT_EQ(r.size(), RecordSize);
    EXPECT_EQ(r.substr(0, 24), "00110nam a2200061 a 4500");
    EXPECT_EQ(r[60], FieldTerminator);
    EXPECT_EQ(r[85], FieldTerminator);
    EXPECT_EQ(r[109], RecordTerminator);
}

TEST(ReaderStructure, DamageInsideAFramedRecordIsReportedAndTheNextRecordRead) {
    struct Case {
        std::size_t at;
        std::string bytes;
        IssueKind kind;
        std::size_t offset; // in the damaged record
        std::string reason;
    };
    const std::vector<Case> cases = {
        {12, "00x61", IssueKind::BadBaseAddress, 12,
         "base address of data \"00x61\" is not five digits"},
        {12, "00200", IssueKind::BaseAddressOutOfRange, 12,
         "base address of data 200 lies outside the record (length 110)"},
        {12, "00024", IssueKind::BaseAddressOutOfRange, 12,
         "base address of data 24 leaves no room for the leader and the directory terminator"},
        {60, "X", IssueKind::MissingDirectoryTerminator, 60,
         "no field terminator ends the directory before base address 61"},
        // Base 67 puts the 001's terminator where the directory's should be.
        {12, "00067", IssueKind::BadDirectoryLength, 24,
         "directory length 42 is not a multiple of 12"},
        {27, "00a6", IssueKind::BadDirectoryEntry, 27,
         "directory entry 1 (tag \"001\"): field length \"00a6\" is not four digits"},
        {43, "0000x", IssueKind::BadDirectoryEntry, 43,
         "directory entry 2 (tag \"008\"): starting position \"0000x\" is not five digits"},
        {39, "0000", IssueKind::FieldOutOfRange, 39,
         "directory entry 2 (tag \"008\"): field length 0 leaves no room for its terminator"},
        {51, "0024", IssueKind::FieldOutOfRange, 55,
         "directory entry 3 (tag \"245\"): starting position 25 and length 24 reach past the 48 "
         "bytes of data"},
        {85, "Z", IssueKind::MissingFieldTerminator, 85,
         "directory entry 2 (tag \"008\"): the field does not end with a field terminator"},
        // The record's length still frames it: the next record follows at once.
        {109, "Q", IssueKind::MissingRecordTerminator, 109,
         "the record's last byte is \"Q\", not a record terminator"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reason);
        const ReadAll all = readBetween(damaged(c.at, c.bytes));
        expectOneError(all, c.kind, RecordSize + c.offset, c.reason);
        EXPECT_EQ(all.issues[0].recordOffset, RecordSize);
        EXPECT_EQ(all.issues[0].length, RecordSize);
        EXPECT_EQ(all.offsets, (std::vector<std::size_t>{0, 2 * RecordSize}));
    }
}

TEST(ReaderFraming, UntrustedLengthsResumeAfterTheRecordTerminator) {
    struct Case {
        std::string length;
        IssueKind kind;
        std::string reason;
    };
    const std::vector<Case> cases = {
        {"0011x", IssueKind::BadRecordLength, "record length \"0011x\" is not five digits"},
        {"00010", IssueKind::RecordTooShort,
         "record length 10 is less than 26, the size of the smallest record"},
        {"00100", IssueKind::MissingRecordTerminator,
         "record length 100 does not end at a record terminator"},
        {"00150", IssueKind::MissingRecordTerminator,
         "record length 150 does not end at a record terminator"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.length);
        const ReadAll all = readBetween(damaged(0, c.length));
        expectOneError(all, c.kind, RecordSize,
                       c.reason + "; skipped to the record terminator at offset 219 (110 bytes)");
        EXPECT_EQ(all.offsets, (std::vector<std::size_t>{0, 2 * RecordSize}));
    }
}

TEST(ReaderFraming, BytesBeforeARecordAreSkippedUpToIt) {
    const ReadAll all = readBetween("junk!");
    expectOneError(all, IssueKind::BadRecordLength, RecordSize,
                   "record length \"junk!\" is not five digits; skipped 5 bytes to the next "
                   "record, at offset 115");
    EXPECT_EQ(all.offsets, (std::vector<std::size_t>{0, 115}));
    EXPECT_EQ(all.issues[0].length, 5u);
}

TEST(ReaderFraming, TruncatedLastRecordIsReportedAndEndsTheInput) {
    const std::string input = good(1) + good(2).substr(0, 60);
    const ReadAll all = readAll(input);
    expectOneError(all, IssueKind::TruncatedRecord, RecordSize,
                   "record length 110 runs past the end of the input, 60 bytes on; no record "
                   "terminator follows, so the remaining 60 bytes are skipped");
    EXPECT_EQ(all.records.size(), 1u);

    const ReadAll tooShortToSay = readAll(good(1) + "001");
    expectOneError(tooShortToSay, IssueKind::BadRecordLength, RecordSize,
                   "record length \"001\" is not five digits; no record terminator follows, so "
                   "the remaining 3 bytes are skipped");
}

TEST(ReaderFraming, PaddingBetweenRecordsIsAWarningAndAtTheEndNothing) {
    const ReadAll between = readAll(good(1) + "\r\n" + good(2) + "\n \x1A");
    EXPECT_EQ(between.offsets, (std::vector<std::size_t>{0, RecordSize + 2}));
    ASSERT_EQ(between.issues.size(), 1u);
    EXPECT_EQ(between.issues[0].severity, Severity::Warning);
    EXPECT_EQ(between.issues[0].kind, IssueKind::SkippedPadding);
    EXPECT_EQ(between.issues[0].offset, RecordSize);
    EXPECT_EQ(between.issues[0].reason, "skipped 2 blank or control bytes between records");
    EXPECT_EQ(between.errors, 0u);

    EXPECT_TRUE(readAll("").records.empty());
    EXPECT_TRUE(readAll("  \n").issues.empty());
}

TEST(ReaderFraming, StrictModeStopsAtTheFirstError) {
    const std::string input = good(1) + damaged(60, "X") + good(2) + damaged(0, "0011x");
    const ReadAll lenient = readAll(input);
    EXPECT_EQ(lenient.records.size(), 2u);
    EXPECT_EQ(lenient.errors, 2u);
    EXPECT_FALSE(lenient.stopped);

    const ReadAll strict = readAll(input, {true, 1 << 20});
    EXPECT_EQ(strict.records.size(), 1u);
    ASSERT_EQ(strict.issues.size(), 1u);
    EXPECT_EQ(strict.issues[0].kind, IssueKind::MissingDirectoryTerminator);
    EXPECT_TRUE(strict.stopped);

    // Warnings do not stop it.
    const ReadAll padded = readAll(good(1) + "\n" + good(2), {true, 1 << 20});
    EXPECT_EQ(padded.records.size(), 2u);
    EXPECT_FALSE(padded.stopped);
}

TEST(ReaderFraming, StreamReadingMatchesBufferReadingAtEveryBlockSize) {
    const std::string input = good(1) + "junk" + damaged(0, "00100") + good(2) + "\n" +
                              damaged(85, "Z") + good(3) + good(4).substr(0, 50);
    const ReadAll fromBuffer = readAll(input);
    ASSERT_EQ(fromBuffer.errors, 3u);
    for (std::size_t block = 1; block <= 130; ++block) {
        Reader reader(std::make_unique<std::istringstream>(input), {false, block});
        const ReadAll fromStream = readAll(reader);
        ASSERT_EQ(fromStream.records, fromBuffer.records) << "block " << block;
        ASSERT_EQ(fromStream.issues.size(), fromBuffer.issues.size()) << "block " << block;
        for (std::size_t i = 0; i < fromBuffer.issues.size(); ++i)
            EXPECT_EQ(describe(fromStream.issues[i]), describe(fromBuffer.issues[i]));
    }
}

TEST(ReaderWarnings, DataOutOfDirectoryOrderAndUnusedBytesAreWarnings) {
    // Swap the 001 and 008 entries' positions: each field still ends in a terminator.
    std::string swapped = good(1); // 001 is 6 bytes, 008 19 bytes
    ASSERT_EQ(swapped.substr(24, 24), "001000600000008001900006");
    const std::string dataArea = swapped.substr(61, 25); // "00001\x1E" then the 008
    swapped.replace(24, 24, "001000600019008001900000");
    swapped.replace(61, 25, dataArea.substr(6) + dataArea.substr(0, 6));
    const ParseResult unordered = parseRecord(swapped, 1000);
    ASSERT_TRUE(unordered.record);
    ASSERT_EQ(unordered.warnings.size(), 1u);
    EXPECT_EQ(unordered.warnings[0].kind, IssueKind::DataLayout);
    EXPECT_EQ(unordered.warnings[0].offset, 1000u + 24 + 7);
    EXPECT_EQ(unordered.warnings[0].reason,
              "directory entry 1 (tag \"001\") starts at 19, not at 0: the data is not laid out "
              "in directory order and is written anew in that order");
    EXPECT_EQ(unordered.record->findField("001")->value(), "00001");

    // Drop the 245 from the directory: its bytes stay in the data area, unused.
    std::string unused = good(1);
    unused.erase(48, 12);
    unused.replace(0, 5, "00098"); // 110 less one 12-byte entry
    unused.replace(12, 5, "00049");
    const ParseResult gap = parseRecord(unused);
    ASSERT_TRUE(gap.record) << gap.error->reason;
    ASSERT_EQ(gap.warnings.size(), 1u);
    EXPECT_EQ(gap.warnings[0].reason, "23 bytes at the end of the data area belong to no field "
                                      "and are not written back");
    EXPECT_EQ(gap.record->fieldCount(), 2u);
}

TEST(ParseRecord, OneRecordMustBeExactlyItsLength) {
    const std::string r = good(1);
    EXPECT_TRUE(parseRecord(r).record);
    const std::string longerBytes = r + "x";
    const ParseResult longer = parseRecord(longerBytes);
    ASSERT_TRUE(longer.error);
    EXPECT_EQ(longer.error->kind, IssueKind::RecordLengthMismatch);
    EXPECT_EQ(longer.error->reason, "record length 110 does not match the 111 bytes of the record");
    const ParseResult empty = parseRecord("");
    ASSERT_TRUE(empty.error);
    EXPECT_EQ(empty.error->kind, IssueKind::BadRecordLength);
}

TEST(ParseRecord, DescribeNamesTheOffsetTheRecordAndWarnings) {
    Issue error{Severity::Error,
                IssueKind::BadDirectoryLength,
                1571,
                1595,
                100,
                0,
                "directory length 217 is not a multiple of 12"};
    EXPECT_EQ(describe(error),
              "offset 1595 (record at 1571): directory length 217 is not a multiple of 12");
    Issue warning{Severity::Warning, IssueKind::SkippedPadding, 7, 7, 2, 0, "skipped"};
    EXPECT_EQ(describe(warning), "offset 7: warning: skipped");
    Issue line{Severity::Error, IssueKind::BadMnemonicLine, 0, 40, 0, 3, "bad"};
    EXPECT_EQ(describe(line), "line 3: bad");
    EXPECT_EQ(toString(IssueKind::BadDirectoryLength), "bad-directory-length");
}

} // namespace
} // namespace marc::testing
