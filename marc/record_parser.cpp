// The structural check of one ISO 2709 record. The directory is read with
// MARC 21's fixed entry map (4-digit lengths, 5-digit starting positions) and
// two indicators, whatever leader 10-11 and 20-21 say: files that get those
// bytes wrong are common and otherwise readable, so they earn a warning only.

#include "marc/detail/digits.h"
#include "marc/record_view.h"

#include <string>

namespace marc {

namespace {

std::string number(std::size_t n) {
    return std::to_string(n);
}

std::string entryName(std::size_t index, std::string_view tag) {
    return "directory entry " + number(index + 1) + " (tag " + detail::quoted(tag) + ")";
}

} // namespace

struct RecordParser {
    std::string_view r;
    std::size_t offset;
    ParseResult result;

    void fail(IssueKind kind, std::size_t at, std::string reason) {
        result.error =
            Issue{Severity::Error, kind, offset, offset + at, r.size(), 0, std::move(reason)};
    }
    void warn(IssueKind kind, std::size_t at, std::string reason) {
        result.warnings.push_back(
            Issue{Severity::Warning, kind, offset, offset + at, r.size(), 0, std::move(reason)});
    }

    ParseResult run() {
        const std::size_t n = r.size();
        const auto length = n >= 5 ? detail::readDigits(r.data(), 5) : std::nullopt;
        if (!length) {
            fail(IssueKind::BadRecordLength, 0,
                 "record length " + detail::quoted(r.substr(0, 5)) + " is not five digits");
            return std::move(result);
        }
        if (*length < MinRecordLength) {
            fail(IssueKind::RecordTooShort, 0,
                 "record length " + number(*length) + " is less than " + number(MinRecordLength) +
                     ", the size of the smallest record");
            return std::move(result);
        }
        if (*length != n) {
            fail(IssueKind::RecordLengthMismatch, 0,
                 "record length " + number(*length) + " does not match the " + number(n) +
                     " bytes of the record");
            return std::move(result);
        }
        if (r[n - 1] != RecordTerminator) {
            fail(IssueKind::MissingRecordTerminator, n - 1,
                 "the record's last byte is " + detail::quoted(r.substr(n - 1)) +
                     ", not a record terminator");
            return std::move(result);
        }
        const auto base = detail::readDigits(r.data() + 12, 5);
        if (!base) {
            fail(IssueKind::BadBaseAddress, 12,
                 "base address of data " + detail::quoted(r.substr(12, 5)) + " is not five digits");
            return std::move(result);
        }
        if (*base < LeaderLength + 1) {
            fail(IssueKind::BaseAddressOutOfRange, 12,
                 "base address of data " + number(*base) +
                     " leaves no room for the leader and the directory terminator");
            return std::move(result);
        }
        if (*base > n - 1) {
            fail(IssueKind::BaseAddressOutOfRange, 12,
                 "base address of data " + number(*base) + " lies outside the record (length " +
                     number(n) + ")");
            return std::move(result);
        }
        if (r[*base - 1] != FieldTerminator) {
            fail(IssueKind::MissingDirectoryTerminator, *base - 1,
                 "no field terminator ends the directory before base address " + number(*base));
            return std::move(result);
        }
        const std::size_t directoryLength = *base - 1 - LeaderLength;
        if (directoryLength % DirectoryEntryLength != 0) {
            fail(IssueKind::BadDirectoryLength, LeaderLength,
                 "directory length " + number(directoryLength) + " is not a multiple of " +
                     number(DirectoryEntryLength));
            return std::move(result);
        }
        const std::size_t count = directoryLength / DirectoryEntryLength;
        if (!checkFields(*base, count))
            return std::move(result);
        checkLeader();

        RecordView view;
        view.bytes_ = r;
        view.base_ = *base;
        view.fieldCount_ = count;
        view.offset_ = offset;
        result.record = view;
        return std::move(result);
    }

    bool checkFields(std::size_t base, std::size_t count) {
        const std::size_t dataLength = r.size() - 1 - base;
        std::size_t expected = 0; // where the next field starts when laid out in order
        bool laidOut = true;
        for (std::size_t i = 0; i < count; ++i) {
            const std::size_t at = LeaderLength + i * DirectoryEntryLength;
            const std::string_view tag = r.substr(at, TagLength);
            const auto length = detail::readDigits(r.data() + at + 3, FieldLengthDigits);
            if (!length) {
                fail(IssueKind::BadDirectoryEntry, at + 3,
                     entryName(i, tag) + ": field length " + detail::quoted(r.substr(at + 3, 4)) +
                         " is not four digits");
                return false;
            }
            const auto start = detail::readDigits(r.data() + at + 7, StartDigits);
            if (!start) {
                fail(IssueKind::BadDirectoryEntry, at + 7,
                     entryName(i, tag) + ": starting position " +
                         detail::quoted(r.substr(at + 7, 5)) + " is not five digits");
                return false;
            }
            if (*length == 0) {
                fail(IssueKind::FieldOutOfRange, at + 3,
                     entryName(i, tag) + ": field length 0 leaves no room for its terminator");
                return false;
            }
            if (*start + *length > dataLength) {
                fail(IssueKind::FieldOutOfRange, at + 7,
                     entryName(i, tag) + ": starting position " + number(*start) + " and length " +
                         number(*length) + " reach past the " + number(dataLength) +
                         " bytes of data");
                return false;
            }
            const std::size_t last = base + *start + *length - 1;
            if (r[last] != FieldTerminator) {
                fail(IssueKind::MissingFieldTerminator, last,
                     entryName(i, tag) + ": the field does not end with a field terminator");
                return false;
            }
            if (laidOut && *start != expected) {
                laidOut = false;
                warn(IssueKind::DataLayout, at + 7,
                     entryName(i, tag) + " starts at " + number(*start) + ", not at " +
                         number(expected) +
                         ": the data is not laid out in directory order and is written "
                         "anew in that order");
            }
            expected = *start + *length;
        }
        if (laidOut && expected != dataLength) {
            warn(IssueKind::DataLayout, base + expected,
                 number(dataLength - expected) +
                     " bytes at the end of the data area belong to no field and are not "
                     "written back");
        }
        return true;
    }

    void checkLeader() {
        const std::string_view counts = r.substr(10, 2);
        const std::string_view entryMap = r.substr(20, 2);
        if (counts == "22" && entryMap == "45")
            return;
        std::string reason = "leader";
        if (counts != "22")
            reason += " 10-11 read " + detail::quoted(counts) + " instead of \"22\"";
        if (counts != "22" && entryMap != "45")
            reason += " and";
        if (entryMap != "45")
            reason += " 20-21 read " + detail::quoted(entryMap) + " instead of \"45\"";
        reason += "; the record is read as MARC 21 fixes them";
        warn(IssueKind::NonStandardLeader, counts != "22" ? 10 : 20, std::move(reason));
    }
};

ParseResult parseRecord(std::string_view octets, std::size_t offset) {
    return RecordParser{octets, offset, {}}.run();
}

} // namespace marc
