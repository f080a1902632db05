#include "marc/issue.h"

namespace marc {

std::string_view toString(IssueKind kind) {
    switch (kind) {
    case IssueKind::BadRecordLength:
        return "bad-record-length";
    case IssueKind::RecordTooShort:
        return "record-too-short";
    case IssueKind::TruncatedRecord:
        return "truncated-record";
    case IssueKind::RecordLengthMismatch:
        return "record-length-mismatch";
    case IssueKind::MissingRecordTerminator:
        return "missing-record-terminator";
    case IssueKind::BadBaseAddress:
        return "bad-base-address";
    case IssueKind::BaseAddressOutOfRange:
        return "base-address-out-of-range";
    case IssueKind::MissingDirectoryTerminator:
        return "missing-directory-terminator";
    case IssueKind::BadDirectoryLength:
        return "bad-directory-length";
    case IssueKind::BadDirectoryEntry:
        return "bad-directory-entry";
    case IssueKind::FieldOutOfRange:
        return "field-out-of-range";
    case IssueKind::MissingFieldTerminator:
        return "missing-field-terminator";
    case IssueKind::BadMnemonicLine:
        return "bad-mnemonic-line";
    case IssueKind::NonStandardLeader:
        return "non-standard-leader";
    case IssueKind::DataLayout:
        return "data-layout";
    case IssueKind::SkippedPadding:
        return "skipped-padding";
    }
    return "unknown";
}

std::string describe(const Issue& issue) {
    std::string text = issue.line != 0 ? "line " + std::to_string(issue.line)
                                       : "offset " + std::to_string(issue.offset);
    if (issue.line == 0 && issue.recordOffset != issue.offset)
        text += " (record at " + std::to_string(issue.recordOffset) + ")";
    text += issue.severity == Severity::Warning ? ": warning: " : ": ";
    text += issue.reason;
    return text;
}

} // namespace marc
