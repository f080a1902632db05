#pragma once
// The index entries of one record: which of its values go into which
// index, in the index's key form. MARC-8 records are read as UTF-8 first.

#include "marc8_text.h"
#include "record_kind.h"

#include <string>
#include <string_view>
#include <vector>

namespace marc {
class FieldView;
class RecordView;
} // namespace marc

namespace orvane::server {

struct IndexEntry {
    std::string_view code;
    std::string key;
    auto operator<=>(const IndexEntry&) const = default;
};

class IndexKeys {
public:
    // Each (code, key) once, sorted; valid until the next call.
    const std::vector<IndexEntry>& of(const marc::RecordView& record, RecordKind kind);
    // Only the entries that link records: the control numbers of 035 $a, and
    // a holdings record's 004. Each (code, key) once, sorted.
    const std::vector<IndexEntry>& links(const marc::RecordView& record, RecordKind kind);

private:
    void bibliographic(const marc::FieldView& field);
    void authority(const marc::FieldView& field);
    void holdings(const marc::FieldView& field);
    void dropKeywordsHeldElsewhere();

    // The subfields with these codes, folded and joined.
    std::string folded(const marc::FieldView& field, std::string_view codes);
    std::string utf8(std::string_view value);
    void addWords(std::string_view code, std::string_view folded);
    void addKey(std::string_view code, std::string key);
    void addValues(const marc::FieldView& field, char subfield, std::string_view code);

    Marc8Text marc8_;
    bool isMarc8_ = false;
    std::vector<IndexEntry> entries_;
};

} // namespace orvane::server
