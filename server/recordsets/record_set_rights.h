#pragma once
// The operator right each record set action needs, by the set's record type.

#include <string_view>

namespace orvane::server {

// Preview: apply rules to records of the type with nothing saved;
// DeleteRecords: let rules delete records of the type.
enum class RecordSetAction { Add, Update, Delete, View, Preview, DeleteRecords };

// "RSBA", "RSMU", "RSAV", "RSBP", "RSADR", ... for record types 1, 2, 3;
// empty for any other type.
std::string_view recordSetRight(RecordSetAction action, int recordType);

} // namespace orvane::server
