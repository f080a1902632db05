#pragma once
// What the rule editor screens share, on the data side: the entries of
// their lists and which one is selected, and the characters their inputs
// accept. The screens copy these lists into their widgets.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace rules {

class RuleCondition;

struct TemplateListItem {
    std::string text;
    std::int32_t itemData = 0;
    bool operator==(const TemplateListItem&) const = default;
};

// A list as the editor shows it: entries with item data, and the selected
// index (-1 for none).
struct TemplateList {
    std::vector<TemplateListItem> items;
    int selected = -1;
};

class RuleTemplateTools {
public:
    static constexpr std::string_view SubfieldChars = "abcdefghijklmnopqrstuvwxyz0123456789 ";
    static constexpr std::string_view SubfieldWildcardChars =
        "abcdefghijklmnopqrstuvwxyz0123456789* ";
    // Letters of both cases, digits and this punctuation, ending with a double quote.
    static constexpr std::string_view ValueChars =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"
        R"(!#$%&'()*+,-./:;<=>?{}_^`~\[]")";

    // The control field list of the templates, in this order.
    static const std::vector<std::string_view>& ControlFieldNames();

    static std::int32_t SelectedItemData(const TemplateList& list);
    static void AddListItem(TemplateList& list, std::string_view text, std::int32_t itemData);
    static void FillOccurrenceList(TemplateList& list, bool addLast, bool firstAndLast);
    static void SelectByItemData(TemplateList& list, std::int32_t value);
    static void SelectControlField(TemplateList& list, std::string_view tag);
    static void FillControlVariableList(TemplateList& list, std::string_view controlField);
    // The variables of the field selected in the control field list.
    static void FillControlVariableList(TemplateList& list, const TemplateList& controlFieldList);
    static void SelectControlVariable(TemplateList& list, std::string_view controlVariable);
    static void SelectControlVariable(TemplateList& list, const RuleCondition& condition);

    static bool IsSubfieldChar(std::int32_t code, bool allowWildcard);
    // The key unchanged when accepted (control keys always are), else 0.
    static std::int32_t FilterSubfieldKey(std::int32_t keyCode, bool allowWildcard);
    static void ClearIfInvalidFirstChar(std::string& input, bool allowWildcard);
    static std::string_view SubfieldCharFilter(bool allowWildcard);
    static std::string_view ValueCharFilter() { return ValueChars; }
};

} // namespace rules
