#pragma once
// Named byte ranges of control fields. A name is only valid for its own
// control field; several names may share a range (TypeOfDate and
// PublicationStatus are the same byte).

#include <cstdint>
#include <span>
#include <string_view>

namespace rules {

struct ControlVariable {
    std::string_view controlField; // upper-case: "008", "LDR"
    std::string_view name;         // canonical letter case
    std::int16_t start;            // 0-based
    std::int16_t end;              // exclusive
};

std::span<const ControlVariable> ControlVariables();

// The variable of a control field with this name in any letter case, or null.
const ControlVariable* FindControlVariable(std::string_view controlField, std::string_view name);

} // namespace rules
