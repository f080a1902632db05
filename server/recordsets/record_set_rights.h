#pragma once
// The operator right each record set action needs, by the set's record type.

#include <string_view>

namespace orvane::server {

enum class RecordSetAction { Add, Update, Delete, View };

// "RSBA", "RSMU", "RSAV", ... for record types 1, 2, 3; empty for any other type.
std::string_view recordSetRight(RecordSetAction action, int recordType);

} // namespace orvane::server
