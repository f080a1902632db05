#include "control_variables.h"

#include "line_text.h"

#include <array>

namespace rules {

namespace {

constexpr std::array<ControlVariable, 12> kVariables{{
    {"008", "DateEnteredOnFile", 0, 6},
    {"008", "TypeOfDate", 6, 7},
    {"008", "PublicationStatus", 6, 7},
    {"008", "Date1", 7, 11},
    {"008", "Date2", 11, 15},
    {"008", "PlaceOfPublication", 15, 18},
    {"008", "Production", 15, 18},
    {"008", "Execution", 15, 18},
    {"008", "Language", 35, 38},
    {"008", "ModifiedRecord", 38, 39},
    {"008", "CatalogingSource", 39, 40},
    {"LDR", "MaterialType", 6, 8},
}};

bool SameNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (text::Lower(a[i]) != text::Lower(b[i]))
            return false;
    return true;
}

} // namespace

std::span<const ControlVariable> ControlVariables() {
    return kVariables;
}

const ControlVariable* FindControlVariable(std::string_view controlField, std::string_view name) {
    for (const auto& variable : kVariables)
        if (variable.controlField == controlField && SameNoCase(variable.name, name))
            return &variable;
    return nullptr;
}

} // namespace rules
