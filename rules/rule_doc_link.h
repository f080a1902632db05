#pragma once
// One link of a rule set group to a rule document, at a place in its order.

#include <cstdint>
#include <string>

namespace rules {

struct RuleDocLink {
    std::int32_t DocId = 0; // answer key "ID"
    std::int32_t Order = 0; // answer key "RO"

    // Document 12 at order 3: "12|3".
    std::string Key() const { return std::to_string(DocId) + "|" + std::to_string(Order); }
};

} // namespace rules
