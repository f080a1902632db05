#pragma once
// A field order configuration: tag patterns ("LDR", "001", "0XX", "245",
// "5XX", ...). Each field goes to the first pattern it matches, in record
// order within a pattern; fields that match none come last.

#include "field_selector.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace engine {

class WorkRecord;

class FieldOrder {
public:
    // Comma-separated patterns; nothing, with the reason, when one is not a tag.
    static std::optional<FieldOrder> parse(std::string_view patterns, std::string& error);

    bool empty() const { return patterns_.empty(); }
    void apply(WorkRecord& record) const;

private:
    std::vector<TagPattern> patterns_;
};

} // namespace engine
