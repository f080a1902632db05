#pragma once
// Records as JSON: {"leader": "...", "fields": [{"tag": "001", "value": "..."},
// {"tag": "245", "indicators": "10", "subfields": [{"code": "a", "value": "..."}]}]}.
// Texts are the record's bytes; the writer replaces bytes that are not UTF-8.

#include <nlohmann/json_fwd.hpp>

namespace marc {
class Record;
class RecordView;
} // namespace marc

namespace velumar::marctool {

nlohmann::ordered_json toJson(const marc::RecordView& record);
nlohmann::ordered_json toJson(const marc::Record& record);

} // namespace velumar::marctool
