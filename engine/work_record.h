#pragma once
// The record a rule set group is working on. It starts as views into the
// input bytes; a field is copied only when a rule changes it, so a record that
// no rule touches is written out as the very bytes it came in as.

#include "marc/field_view.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace marc {
class RecordView;
}

namespace engine {

class WorkRecord {
public:
    // Starts over on this record; the view's bytes must outlive the work on it.
    void load(const marc::RecordView& view);

    std::string_view original() const { return original_; }
    std::string_view leader() const { return leader_; }
    void setLeader(std::string leader);

    std::size_t size() const { return fields_.size(); }
    marc::FieldView field(std::size_t index) const;
    std::string_view tag(std::size_t index) const { return {fields_[index].tag.data(), 3}; }
    // A field keeps its id while fields before it come and go.
    std::uint32_t id(std::size_t index) const { return fields_[index].id; }
    std::optional<std::size_t> indexOf(std::uint32_t id) const;

    // A field's octets without the field terminator: a control field's value,
    // or a data field's indicators and subfields.
    void setData(std::size_t index, std::string data);
    void setTag(std::size_t index, std::string_view tag);
    void remove(std::size_t index);
    // After the last field whose tag is not greater; returns the new index.
    std::size_t insertInTagOrder(std::string_view tag, std::string data);
    // Fields in the given order of their current indexes.
    void reorder(std::span<const std::size_t> order);

    // True once anything was changed, even if changed back.
    bool touched() const { return touched_; }
    // The record in ISO 2709; the reason when it is too long for it.
    std::optional<std::string> write(std::string& out) const;

private:
    struct Entry {
        std::array<char, 3> tag;
        std::string_view data;
        std::uint32_t id;
    };
    std::string_view keep(std::string bytes);

    std::string_view original_;
    std::string_view leader_;
    std::vector<Entry> fields_;
    // Bytes of changed fields; a deque so that views into it stay valid.
    std::deque<std::string> owned_;
    std::uint32_t nextId_ = 0;
    bool touched_ = false;
    mutable std::vector<marc::FieldView> writeViews_;
};

} // namespace engine
