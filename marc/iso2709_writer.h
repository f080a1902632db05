#pragma once
// Writes records in ISO 2709. The writer computes the record length (leader
// 00-04), the base address (12-16) and the directory, and lays the field data
// out in directory order; every other leader byte is written as it is.

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace marc {

class Record;
class FieldView;
class RecordView;

// Appends the record's octets to `out`. When a field or the record is too long
// for ISO 2709's numbers, nothing is appended and the reason is returned.
std::optional<std::string> appendIso2709(const Record& record, std::string& out);
std::optional<std::string> appendIso2709(const RecordView& record, std::string& out);
// A record held as a leader and field views over bytes kept elsewhere, as
// the rule engine keeps a record it is changing.
std::optional<std::string> appendIso2709(std::string_view leader, std::span<const FieldView> fields,
                                         std::string& out);

} // namespace marc
