#pragma once
// One field of an editable record: a control field (tag 00X, a value) or a
// data field (indicators, then subfields in order).

#include "marc/subfield.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace marc {

class FieldView;

class Field {
public:
    // Tags are exactly three bytes; anything else throws std::invalid_argument.
    static Field control(std::string_view tag, std::string value);
    static Field data(std::string_view tag, char indicator1, char indicator2,
                      std::vector<Subfield> subfields = {});
    // The indicators are kept whatever their number, so a field read with a
    // missing or extra indicator is written back as it was.
    static Field data(std::string_view tag, std::string indicators,
                      std::vector<Subfield> subfields = {});
    // A copy of a viewed field: control or data by its tag.
    static Field fromView(const FieldView& view);

    std::string_view tag() const { return {tag_, 3}; }
    void setTag(std::string_view tag);
    bool isControl() const { return control_; }

    // Control field.
    std::string_view value() const { return value_; }
    void setValue(std::string value) { value_ = std::move(value); }

    // Data field.
    std::string_view indicators() const { return indicators_; }
    char indicator1() const { return indicators_.size() > 0 ? indicators_[0] : ' '; }
    char indicator2() const { return indicators_.size() > 1 ? indicators_[1] : ' '; }
    void setIndicators(char indicator1, char indicator2);
    void setIndicators(std::string indicators) { indicators_ = std::move(indicators); }

    const std::vector<Subfield>& subfields() const { return subfields_; }
    std::vector<Subfield>& subfields() { return subfields_; }
    // The first subfield with this code.
    const Subfield* findSubfield(char code) const;
    Subfield* findSubfield(char code);
    std::optional<std::string_view> subfield(char code) const;
    void addSubfield(char code, std::string value);
    // Removes every subfield with this code; returns how many went.
    std::size_t removeSubfields(char code);

    // The field's octets without the field terminator, as ISO 2709 holds them.
    std::string data() const;
    std::size_t dataLength() const;
    void appendData(std::string& out) const;

    bool operator==(const Field&) const = default;

private:
    Field(std::string_view tag, bool control);

    char tag_[3] = {'0', '0', '0'};
    bool control_ = false;
    std::string value_;
    std::string indicators_;
    std::vector<Subfield> subfields_;
};

} // namespace marc
