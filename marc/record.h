#pragma once
// An editable record that owns its bytes: the leader and the fields in record
// order. Build one from a view to change it; write it with the ISO 2709 or the
// text-form writer.

#include "marc/field.h"
#include "marc/leader.h"

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

namespace marc {

class RecordView;

class Record {
public:
    Record() = default;
    explicit Record(Leader leader) : leader_(leader) {}
    static Record fromView(const RecordView& view);

    const Leader& leader() const { return leader_; }
    Leader& leader() { return leader_; }
    RecordType recordType() const { return leader_.recordType(); }
    CharacterCoding characterCoding() const { return leader_.characterCoding(); }

    const std::vector<Field>& fields() const { return fields_; }
    std::vector<Field>& fields() { return fields_; }

    // The first field with this tag; null when there is none.
    const Field* findField(std::string_view tag) const;
    Field* findField(std::string_view tag);
    // Every field with this tag, in record order.
    std::vector<const Field*> findFields(std::string_view tag) const;
    // A control field's value; nothing when the field is absent.
    std::optional<std::string_view> controlValue(std::string_view tag) const;

    // Appends at the end, whatever the tag.
    Field& appendField(Field field);
    // Inserts after the last field whose tag sorts before or equal to this one's,
    // the place a cataloguer expects a new field in a record kept in tag order.
    Field& insertField(Field field);
    // Sets the value of the first control field with this tag, adding it in tag
    // order when absent.
    void setControlValue(std::string_view tag, std::string value);
    // Removes every field with this tag; returns how many went.
    std::size_t removeFields(std::string_view tag);

    bool operator==(const Record&) const = default;

private:
    Leader leader_;
    std::vector<Field> fields_;
};

} // namespace marc
