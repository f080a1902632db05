#pragma once
// What reading found wrong: an error (the record is skipped) or a warning (the
// record is read and delivered), where, and why.

#include <cstddef>
#include <string>
#include <string_view>

namespace marc {

enum class Severity { Error, Warning };

enum class IssueKind {
    // Errors: the record or stretch of bytes is skipped.
    BadRecordLength,         // leader 00-04 are not five digits
    RecordTooShort,          // a length under the smallest possible record
    TruncatedRecord,         // the input ends inside the record
    RecordLengthMismatch,    // one record's text is longer or shorter than its length
    MissingRecordTerminator, // the record's last byte is not a record terminator
    BadBaseAddress,          // leader 12-16 are not five digits
    BaseAddressOutOfRange,   // the base address leaves no room or lies outside the record
    MissingDirectoryTerminator,
    BadDirectoryLength, // not a whole number of 12-byte entries
    BadDirectoryEntry,  // non-digit field length or starting position
    FieldOutOfRange,    // a field of length 0 or reaching past the data area
    MissingFieldTerminator,
    BadMnemonicLine, // the text form: a line that cannot be read
    // Warnings: the record is read.
    NonStandardLeader, // leader 10-11 or 20-21 differ from MARC 21's fixed values
    DataLayout,        // field data not laid out in directory order, or unused bytes
    SkippedPadding,    // blanks or line ends between records
};

struct Issue {
    Severity severity = Severity::Error;
    IssueKind kind = IssueKind::BadRecordLength;
    std::size_t recordOffset = 0; // where the record or unreadable stretch begins
    std::size_t offset = 0;       // the offending byte
    std::size_t length = 0;       // bytes of the record or stretch
    std::size_t line = 0;         // 1-based line of the text form; 0 for ISO 2709
    std::string reason;
};

// A short stable name, e.g. "bad-directory-length".
std::string_view toString(IssueKind kind);
// "offset 1595 (record at 1571): directory length 217 is not a multiple of 12";
// "line N" for the text form; "warning: " before a warning's reason.
std::string describe(const Issue& issue);

} // namespace marc
