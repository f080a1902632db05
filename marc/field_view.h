#pragma once
// One field of a record, viewed in the record's bytes.

#include "marc/iso2709.h"
#include "marc/subfield.h"

#include <optional>
#include <string_view>

namespace marc {

class FieldView {
public:
    FieldView() = default;
    // `data` is the field's octets without the field terminator.
    FieldView(std::string_view tag, std::string_view data) : tag_(tag), data_(data) {}

    std::string_view tag() const { return tag_; }
    bool isControl() const { return isControlTag(tag_); }
    // The octets without the field terminator: a control field's value, or a data
    // field's indicators and subfields.
    std::string_view data() const { return data_; }
    std::string_view value() const { return data_; }

    // The octets before the first subfield delimiter: two indicators in a
    // well-made data field, but kept whole whatever their number.
    std::string_view indicators() const { return data_.substr(0, subfieldsStart()); }
    // An indicator that is missing reads as a blank.
    char indicator1() const { return indicatorAt(0); }
    char indicator2() const { return indicatorAt(1); }

    SubfieldRange subfields() const { return SubfieldRange(data_.substr(subfieldsStart())); }
    // The value of the first subfield with this code.
    std::optional<std::string_view> subfield(char code) const {
        for (const SubfieldView& s : subfields())
            if (s.code == code)
                return s.value;
        return std::nullopt;
    }

private:
    std::size_t subfieldsStart() const {
        const std::size_t at = data_.find(SubfieldDelimiter);
        return at == std::string_view::npos ? data_.size() : at;
    }
    char indicatorAt(std::size_t i) const {
        const std::size_t n = subfieldsStart();
        return i < n ? data_[i] : ' ';
    }

    std::string_view tag_;
    std::string_view data_;
};

} // namespace marc
