#include "marc/iso2709_writer.h"

#include "marc/detail/digits.h"
#include "marc/record.h"
#include "marc/record_view.h"

#include <cstring>

namespace marc {

namespace {

std::string tooLong(std::string_view tag, std::size_t length) {
    return "field " + detail::quoted(tag) + " is " + std::to_string(length) +
           " bytes long with its terminator; ISO 2709 allows " + std::to_string(MaxFieldLength);
}

char* put(char* at, std::string_view bytes) {
    std::memcpy(at, bytes.data(), bytes.size());
    return at + bytes.size();
}

char* putData(char* at, const FieldView& field) {
    return put(at, field.data());
}

char* putData(char* at, const Field& field) {
    if (field.isControl())
        return put(at, field.value());
    at = put(at, field.indicators());
    for (const Subfield& s : field.subfields()) {
        *at++ = SubfieldDelimiter;
        if (s.code == NoSubfieldCode)
            continue;
        *at++ = s.code;
        at = put(at, s.value);
    }
    return at;
}

// Both record kinds: the lengths first, then the whole record written in place.
template <typename Fields, typename LengthOf>
std::optional<std::string> write(std::string_view leader, const Fields& fields, std::size_t count,
                                 LengthOf lengthOf, std::string& out) {
    if (leader.size() != LeaderLength)
        return std::string("the record has no leader");
    const std::size_t base = LeaderLength + count * DirectoryEntryLength + 1;
    std::size_t dataLength = 0;
    for (const auto& field : fields) {
        const std::size_t length = lengthOf(field) + 1;
        if (length > MaxFieldLength)
            return tooLong(field.tag(), length);
        dataLength += length;
    }
    const std::size_t total = base + dataLength + 1;
    if (total > MaxRecordLength)
        return "the record would be " + std::to_string(total) + " bytes long; ISO 2709 allows " +
               std::to_string(MaxRecordLength);

    const std::size_t begin = out.size();
    out.resize(begin + total);
    char* const head = out.data() + begin;
    std::memcpy(head, leader.data(), LeaderLength);
    detail::writeDigits(head, total, 5);
    detail::writeDigits(head + 12, base, 5);
    char* entry = head + LeaderLength;
    char* const data = head + base;
    char* at = data;
    for (const auto& field : fields) {
        const std::size_t start = static_cast<std::size_t>(at - data);
        at = putData(at, field);
        *at++ = FieldTerminator;
        std::memcpy(entry, field.tag().data(), TagLength);
        detail::writeDigits(entry + TagLength, static_cast<std::size_t>(at - data) - start,
                            FieldLengthDigits);
        detail::writeDigits(entry + TagLength + FieldLengthDigits, start, StartDigits);
        entry += DirectoryEntryLength;
    }
    *entry = FieldTerminator;
    *at = RecordTerminator;
    return std::nullopt;
}

} // namespace

std::optional<std::string> appendIso2709(const Record& record, std::string& out) {
    return write(
        record.leader().text(), record.fields(), record.fields().size(),
        [](const Field& f) { return f.dataLength(); }, out);
}

std::optional<std::string> appendIso2709(const RecordView& record, std::string& out) {
    return write(
        record.leader(), record, record.fieldCount(),
        [](const FieldView& f) { return f.data().size(); }, out);
}

std::optional<std::string> appendIso2709(std::string_view leader, std::span<const FieldView> fields,
                                         std::string& out) {
    return write(
        leader, fields, fields.size(), [](const FieldView& f) { return f.data().size(); }, out);
}

} // namespace marc
