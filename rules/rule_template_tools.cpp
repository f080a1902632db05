#include "rule_template_tools.h"

#include "rule_condition.h"

#include <array>

namespace rules {

const std::vector<std::string_view>& RuleTemplateTools::ControlFieldNames() {
    static const std::vector<std::string_view> names{"LDR", "001", "003", "004",
                                                     "005", "006", "007", "008"};
    return names;
}

std::int32_t RuleTemplateTools::SelectedItemData(const TemplateList& list) {
    if (list.selected < 0 || static_cast<std::size_t>(list.selected) >= list.items.size())
        return -1;
    return list.items[static_cast<std::size_t>(list.selected)].itemData;
}

void RuleTemplateTools::AddListItem(TemplateList& list, std::string_view text,
                                    std::int32_t itemData) {
    list.items.push_back({std::string(text), itemData});
}

void RuleTemplateTools::FillOccurrenceList(TemplateList& list, bool addLast, bool firstAndLast) {
    list.items.clear();
    list.selected = -1;
    if (firstAndLast) {
        AddListItem(list, "First", 0);
        AddListItem(list, "Last", 99);
        return;
    }
    static constexpr std::array<std::string_view, 10> kOrdinals{"1st", "2nd", "3rd", "4th", "5th",
                                                                "6th", "7th", "8th", "9th", "10th"};
    AddListItem(list, " ", -1);
    for (std::size_t i = 0; i < kOrdinals.size(); ++i)
        AddListItem(list, kOrdinals[i], static_cast<std::int32_t>(i));
    if (addLast)
        AddListItem(list, "Last", 99);
}

void RuleTemplateTools::SelectByItemData(TemplateList& list, std::int32_t value) {
    for (std::size_t i = 0; i < list.items.size(); ++i) {
        if (list.items[i].itemData == value) {
            list.selected = static_cast<int>(i);
            return;
        }
    }
    list.selected = -1;
}

void RuleTemplateTools::SelectControlField(TemplateList& list, std::string_view tag) {
    const auto& names = ControlFieldNames();
    list.selected = -1;
    for (std::size_t i = 0; i < names.size(); ++i)
        if (names[i] == tag)
            list.selected = static_cast<int>(i);
}

void RuleTemplateTools::FillControlVariableList(TemplateList& list, std::string_view controlField) {
    list.items.clear();
    AddListItem(list, "", 0);
    list.selected = 0;
    if (controlField == "LDR") {
        AddListItem(list, "MaterialType", 0);
    } else if (controlField == "008") {
        for (const std::string_view name :
             {"CatalogingSource", "Date1", "Date2", "DateEnteredOnFile", "Execution", "Language",
              "ModifiedRecord", "PlaceOfPublication", "Production", "PublicationStatus",
              "TypeOfDate"})
            AddListItem(list, name, 0);
    }
}

void RuleTemplateTools::FillControlVariableList(TemplateList& list,
                                                const TemplateList& controlFieldList) {
    const auto selected = controlFieldList.selected;
    const bool any =
        selected >= 0 && static_cast<std::size_t>(selected) < controlFieldList.items.size();
    FillControlVariableList(
        list,
        any ? std::string_view(controlFieldList.items[static_cast<std::size_t>(selected)].text)
            : std::string_view());
}

void RuleTemplateTools::SelectControlVariable(TemplateList& list, const RuleCondition& condition) {
    SelectControlVariable(list, condition.ControlVariable);
}

void RuleTemplateTools::SelectControlVariable(TemplateList& list,
                                              std::string_view controlVariable) {
    struct Place {
        std::string_view name;
        int index;
    };
    static constexpr std::array<Place, 12> kPlaces{{
        {"CatalogingSource", 1},
        {"Date1", 2},
        {"Date2", 3},
        {"DateEnteredOnFile", 4},
        {"Execution", 5},
        {"Language", 6},
        {"ModifiedRecord", 7},
        {"PlaceOfPublication", 8},
        {"Production", 9},
        {"PublicationStatus", 10},
        {"TypeOfDate", 11},
        {"MaterialType", 1},
    }};
    list.selected = -1;
    for (const auto& place : kPlaces)
        if (place.name == controlVariable)
            list.selected = place.index;
}

bool RuleTemplateTools::IsSubfieldChar(std::int32_t code, bool allowWildcard) {
    if (code <= 0 || code > 127)
        return false;
    const std::string_view accepted = SubfieldCharFilter(allowWildcard);
    return accepted.find(static_cast<char>(code)) != std::string_view::npos;
}

std::int32_t RuleTemplateTools::FilterSubfieldKey(std::int32_t keyCode, bool allowWildcard) {
    if (keyCode < 32 || IsSubfieldChar(keyCode, allowWildcard))
        return keyCode;
    return 0;
}

void RuleTemplateTools::ClearIfInvalidFirstChar(std::string& input, bool allowWildcard) {
    if (!input.empty() && !IsSubfieldChar(static_cast<unsigned char>(input.front()), allowWildcard))
        input.clear();
}

std::string_view RuleTemplateTools::SubfieldCharFilter(bool allowWildcard) {
    return allowWildcard ? SubfieldWildcardChars : SubfieldChars;
}

} // namespace rules
