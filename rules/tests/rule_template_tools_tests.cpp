// The editor screens' list contents and input character filters.
#include "rule_condition.h"
#include "rule_template_tools.h"

#include <gtest/gtest.h>

namespace rules {
namespace {

using Tools = RuleTemplateTools;

std::vector<std::string> Texts(const TemplateList& list) {
    std::vector<std::string> out;
    for (const auto& item : list.items)
        out.push_back(item.text);
    return out;
}

TEST(TemplateToolsOccurrenceList, OrdinalsWithOptionalLast) {
    TemplateList list;
    Tools::FillOccurrenceList(list, false, false);
    EXPECT_EQ(Texts(list), (std::vector<std::string>{" ", "1st", "2nd", "3rd", "4th", "5th", "6th",
                                                     "7th", "8th", "9th", "10th"}));
    EXPECT_EQ(list.items.front().itemData, -1);
    EXPECT_EQ(list.items.back().itemData, 9);
    Tools::FillOccurrenceList(list, true, false);
    ASSERT_EQ(list.items.size(), 12u);
    EXPECT_EQ(list.items.back(), (TemplateListItem{"Last", 99}));
    Tools::FillOccurrenceList(list, true, true);
    EXPECT_EQ(list.items, (std::vector<TemplateListItem>{{"First", 0}, {"Last", 99}}));
}

TEST(TemplateToolsSelection, ByItemDataFromTheTopOrNone) {
    TemplateList list;
    Tools::AddListItem(list, "a", 5);
    Tools::AddListItem(list, "b", 7);
    Tools::AddListItem(list, "c", 7);
    EXPECT_EQ(Tools::SelectedItemData(list), -1);
    Tools::SelectByItemData(list, 7);
    EXPECT_EQ(list.selected, 1);
    EXPECT_EQ(Tools::SelectedItemData(list), 7);
    Tools::SelectByItemData(list, 8);
    EXPECT_EQ(list.selected, -1);
}

TEST(TemplateToolsControlLists, FieldsAndVariables) {
    TemplateList fields;
    Tools::SelectControlField(fields, "LDR");
    EXPECT_EQ(fields.selected, 0);
    Tools::SelectControlField(fields, "003");
    EXPECT_EQ(fields.selected, 2);
    Tools::SelectControlField(fields, "008");
    EXPECT_EQ(fields.selected, 7);
    Tools::SelectControlField(fields, "002");
    EXPECT_EQ(fields.selected, -1);

    TemplateList variables;
    Tools::FillControlVariableList(variables, "008");
    EXPECT_EQ(Texts(variables), (std::vector<std::string>{
                                    "", "CatalogingSource", "Date1", "Date2", "DateEnteredOnFile",
                                    "Execution", "Language", "ModifiedRecord", "PlaceOfPublication",
                                    "Production", "PublicationStatus", "TypeOfDate"}));
    EXPECT_EQ(variables.selected, 0);
    Tools::SelectControlVariable(variables, "TypeOfDate");
    EXPECT_EQ(variables.selected, 11);
    EXPECT_EQ(variables.items[11].text, "TypeOfDate");
    Tools::SelectControlVariable(variables, "Date1");
    EXPECT_EQ(variables.items[static_cast<std::size_t>(variables.selected)].text, "Date1");
    Tools::SelectControlVariable(variables, "date1");
    EXPECT_EQ(variables.selected, -1);

    Tools::FillControlVariableList(variables, "LDR");
    EXPECT_EQ(Texts(variables), (std::vector<std::string>{"", "MaterialType"}));
    Tools::SelectControlVariable(variables, "MaterialType");
    EXPECT_EQ(variables.selected, 1);
    Tools::FillControlVariableList(variables, "001");
    EXPECT_EQ(Texts(variables), (std::vector<std::string>{""}));
    // From the editor's control field list and its condition.
    TemplateList controlFields;
    for (const auto name : Tools::ControlFieldNames())
        Tools::AddListItem(controlFields, name, 0);
    Tools::SelectControlField(controlFields, "LDR");
    Tools::FillControlVariableList(variables, controlFields);
    EXPECT_EQ(Texts(variables), (std::vector<std::string>{"", "MaterialType"}));
    RuleCondition condition;
    condition.ControlVariable = "MaterialType";
    Tools::SelectControlVariable(variables, condition);
    EXPECT_EQ(variables.selected, 1);
    controlFields.selected = -1;
    Tools::FillControlVariableList(variables, controlFields);
    EXPECT_EQ(Texts(variables), (std::vector<std::string>{""}));
    EXPECT_EQ(variables.selected, 0);
}

TEST(TemplateToolsCharacterFilters, SubfieldCharacters) {
    EXPECT_TRUE(Tools::IsSubfieldChar('a', false));
    EXPECT_TRUE(Tools::IsSubfieldChar('9', false));
    EXPECT_TRUE(Tools::IsSubfieldChar(' ', false));
    EXPECT_FALSE(Tools::IsSubfieldChar('A', false)); // upper case refused
    EXPECT_FALSE(Tools::IsSubfieldChar('*', false));
    EXPECT_TRUE(Tools::IsSubfieldChar('*', true));
    EXPECT_FALSE(Tools::IsSubfieldChar(0, true));
    EXPECT_FALSE(Tools::IsSubfieldChar(0x1e9, true));

    EXPECT_EQ(Tools::FilterSubfieldKey('b', false), 'b');
    EXPECT_EQ(Tools::FilterSubfieldKey(8, false), 8); // backspace passes
    EXPECT_EQ(Tools::FilterSubfieldKey('$', false), 0);
    EXPECT_EQ(Tools::FilterSubfieldKey('*', false), 0);
    EXPECT_EQ(Tools::FilterSubfieldKey('*', true), '*');

    std::string input = "Ab";
    Tools::ClearIfInvalidFirstChar(input, false);
    EXPECT_EQ(input, "");
    input = "*b";
    Tools::ClearIfInvalidFirstChar(input, true);
    EXPECT_EQ(input, "*b");

    EXPECT_EQ(Tools::SubfieldCharFilter(true), "abcdefghijklmnopqrstuvwxyz0123456789* ");
    EXPECT_EQ(Tools::SubfieldCharFilter(false), "abcdefghijklmnopqrstuvwxyz0123456789 ");
}

TEST(TemplateToolsCharacterFilters, ValueCharactersEndWithAQuoteAndLackBlankAtAndBar) {
    const std::string_view value = Tools::ValueCharFilter();
    EXPECT_EQ(value.back(), '"');
    EXPECT_EQ(value.find(' '), std::string_view::npos);
    EXPECT_EQ(value.find('@'), std::string_view::npos);
    EXPECT_EQ(value.find('|'), std::string_view::npos);
    EXPECT_NE(value.find('\\'), std::string_view::npos);
    EXPECT_EQ(value.size(), 26u + 26u + 10u + 30u);
}

} // namespace
} // namespace rules
