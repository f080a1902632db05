#pragma once
// A well-formed record seen in place: the leader, the directory and the data
// stay in the buffer they were read into; nothing is copied or allocated.

#include "marc/field_view.h"
#include "marc/issue.h"
#include "marc/leader.h"

#include <cstddef>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace marc {

class RecordView {
public:
    class iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = FieldView;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = FieldView;

        iterator() = default;
        iterator(const RecordView* record, std::size_t index) : record_(record), index_(index) {}
        FieldView operator*() const { return record_->field(index_); }
        iterator& operator++() {
            ++index_;
            return *this;
        }
        iterator operator++(int) {
            iterator before = *this;
            ++index_;
            return before;
        }
        bool operator==(const iterator& other) const { return index_ == other.index_; }

    private:
        const RecordView* record_ = nullptr;
        std::size_t index_ = 0;
    };

    // An empty view holds no record; views with content come from parseRecord.
    RecordView() = default;

    // The whole record, from its length to its record terminator.
    std::string_view bytes() const { return bytes_; }
    std::string_view leader() const { return bytes_.substr(0, LeaderLength); }
    // Where the record begins in the input it was read from.
    std::size_t offset() const { return offset_; }

    RecordType recordType() const { return recordTypeOf(leader()); }
    CharacterCoding characterCoding() const { return characterCodingOf(leader()); }

    std::size_t fieldCount() const { return fieldCount_; }
    // Field `index` in directory order; the directory was checked when parsed.
    FieldView field(std::size_t index) const;
    iterator begin() const { return {this, 0}; }
    iterator end() const { return {this, fieldCount_}; }

    // The first field with this tag.
    std::optional<FieldView> findField(std::string_view tag) const;

private:
    friend struct RecordParser;

    std::string_view bytes_;
    std::size_t base_ = 0;
    std::size_t fieldCount_ = 0;
    std::size_t offset_ = 0;
};

struct ParseResult {
    std::optional<RecordView> record; // set when the structure holds
    std::optional<Issue> error;       // otherwise the first structural fault found
    std::vector<Issue> warnings;      // things read past, with the record still delivered
};

// Checks the structure of exactly one record: `octets` run from its five length
// digits to its record terminator. `offset` is where they lie in a larger input,
// so issues name input offsets. The view points into `octets`.
ParseResult parseRecord(std::string_view octets, std::size_t offset = 0);
// Refused for a temporary string: the view would outlive its bytes.
template <typename Bytes>
requires std::is_same_v<Bytes, std::string> ParseResult parseRecord(Bytes&& octets,
                                                                    std::size_t offset = 0)
= delete;

} // namespace marc
