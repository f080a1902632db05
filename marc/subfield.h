#pragma once
// Subfields: a delimiter, a one-byte code, the value. Owned in the editable
// model, viewed in place when reading.

#include "marc/iso2709.h"

#include <cstddef>
#include <cstring>
#include <iterator>
#include <string>
#include <string_view>

namespace marc {

// The code of a delimiter with nothing after it (at the field's end or right
// before another delimiter). The delimiter byte itself can never be a code, so
// keeping it here lets such a field be written back byte for byte. Such a
// subfield is written as the delimiter alone; its value is not written.
inline constexpr char NoSubfieldCode = SubfieldDelimiter;

struct Subfield {
    char code = 'a';
    std::string value;

    bool operator==(const Subfield&) const = default;
};

struct SubfieldView {
    char code = 'a';
    std::string_view value;

    bool operator==(const SubfieldView&) const = default;
};

// The subfields of a data field's octets after the indicators, split in place.
class SubfieldRange {
public:
    class iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = SubfieldView;
        using difference_type = std::ptrdiff_t;
        using pointer = const SubfieldView*;
        using reference = const SubfieldView&;

        iterator() = default;
        iterator(const char* at, const char* end) : at_(at), end_(end) { load(); }

        reference operator*() const { return current_; }
        pointer operator->() const { return &current_; }
        iterator& operator++() {
            at_ = next_;
            load();
            return *this;
        }
        iterator operator++(int) {
            iterator before = *this;
            ++*this;
            return before;
        }
        bool operator==(const iterator& other) const { return at_ == other.at_; }

    private:
        // at_ points at a delimiter, or equals end_ when done.
        void load() {
            if (at_ == end_)
                return;
            const char* body = at_ + 1;
            const auto* found = static_cast<const char*>(
                std::memchr(body, SubfieldDelimiter, static_cast<std::size_t>(end_ - body)));
            next_ = found ? found : end_;
            if (body == next_) {
                current_ = {NoSubfieldCode, {}};
            } else {
                current_ = {*body,
                            std::string_view(body + 1, static_cast<std::size_t>(next_ - body - 1))};
            }
        }

        const char* at_ = nullptr;
        const char* end_ = nullptr;
        const char* next_ = nullptr;
        SubfieldView current_;
    };

    SubfieldRange() = default;
    // `subfieldBytes` begins at the first delimiter (or is empty).
    explicit SubfieldRange(std::string_view subfieldBytes) : bytes_(subfieldBytes) {}

    iterator begin() const { return {bytes_.data(), bytes_.data() + bytes_.size()}; }
    iterator end() const {
        const char* stop = bytes_.data() + bytes_.size();
        return {stop, stop};
    }
    bool empty() const { return bytes_.empty(); }

private:
    std::string_view bytes_;
};

} // namespace marc
