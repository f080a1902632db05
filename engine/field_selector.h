#pragma once
// Which fields and subfields a MARC reference of a rule selects: a tag (or
// the nXX / nnX forms), indicators where "#" matches anything, a field
// occurrence among the fields that match, subfield codes ("*" for every
// code) and a subfield occurrence among the selected subfields of one field.

#include "marc/field_view.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace engine {

class WorkRecord;

inline constexpr std::int32_t kAnyOccurrence = -1;
inline constexpr std::int32_t kLastOccurrence = 99;
// Stands for an indicator that is not specified.
inline constexpr char kAnyIndicator = '\0';

struct TagPattern {
    std::string tag;          // upper-case; "LDR" is the leader
    std::size_t prefixLength = 3;

    // "245", "5XX", "65X", "LDR" in any letter case; a one- or two-character
    // tag is a prefix (the nXX and nnX conditions).
    static TagPattern from(std::string_view tag);
    bool isLeader() const { return tag == "LDR"; }
    bool matches(std::string_view fieldTag) const;
};

struct FieldSelector {
    TagPattern tag;
    char indicator1 = kAnyIndicator;
    char indicator2 = kAnyIndicator;
    std::int32_t occurrence = kAnyOccurrence;
    std::string codes; // empty: the whole field
    std::int32_t subfieldOccurrence = kAnyOccurrence;

    // Indicators as rule text stores them: "#" or empty for any.
    static char indicator(std::string_view text);

    bool matchesField(const marc::FieldView& field) const;
    bool namesSubfields() const { return !codes.empty(); }
    bool selectsCode(char code) const;

    // Indexes of the selected fields, in record order.
    void selectFields(const WorkRecord& record, std::vector<std::size_t>& out) const;
    // Positions (0-based, among all subfields of the field) of the selected
    // subfields.
    void selectSubfields(const marc::FieldView& field, std::vector<std::size_t>& out) const;
};

// The value of a whole field: a control field's data, or a data field's
// subfield values joined by one blank.
void fieldValue(const marc::FieldView& field, std::string& out);

// Applies an occurrence (0-9 the first to tenth, 99 the last) to a list of
// candidates in order.
void keepOccurrence(std::vector<std::size_t>& items, std::int32_t occurrence);

} // namespace engine
