#include "merge_configuration.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>

namespace orvane::server::authload {

namespace {

struct OptionLabel {
    std::string_view label;
    Retention retention;
};

constexpr std::array<OptionLabel, 10> Options{{
    {"Use incoming field", Retention::UseIncoming},
    {"Discard old heading", Retention::UseIncoming},
    {"Retain existing field instead of incoming field", Retention::ExistingInstead},
    {"Retain existing field and incoming field", Retention::ExistingAndIncoming},
    {"Retain existing field if $5 present instead of incoming field", Retention::LocalInstead},
    {"Retain existing field if $5 present and incoming field", Retention::LocalAndIncoming},
    {"Retain existing field if incoming field is empty", Retention::ExistingIfNoIncoming},
    {"Retain existing field if $5 present and incoming field is empty",
     Retention::LocalIfNoIncoming},
    {"Retain existing field instead of incoming field unless headings differ",
     Retention::ExistingUnlessHeadingsDiffer},
    {"Move old heading to 688", Retention::MoveOldHeadingTo688},
}};

constexpr std::array<std::string_view, 6> DoNotMergeCodes{
    "DNMLDR17", "DNMLDR18", "DNM040$a", "DNM040$d", "DNM040$e", "DNM040GT"};

std::set<std::string> splitList(std::string_view text) {
    std::set<std::string> items;
    while (!text.empty()) {
        const std::size_t comma = text.find(',');
        std::string_view item = text.substr(0, comma);
        while (!item.empty() && item.front() == ' ')
            item.remove_prefix(1);
        while (!item.empty() && item.back() == ' ')
            item.remove_suffix(1);
        if (!item.empty())
            items.emplace(item);
        text = comma == std::string_view::npos ? std::string_view{} : text.substr(comma + 1);
    }
    return items;
}

// "DNM040$a" keeps its "_INPUT" as "DNM040_A_INPUT".
std::string inputParameter(std::string_view code) {
    std::string name;
    for (const char c : code)
        name += c == '$' ? '_' : static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return name + "_INPUT";
}

int tagNumber(std::string_view tag) {
    int n = -1;
    if (tag.size() != 3 || std::from_chars(tag.data(), tag.data() + 3, n).ec != std::errc())
        return -1;
    return n;
}

} // namespace

std::string_view MergeConfiguration::categoryOf(std::string_view tag) {
    const int n = tagNumber(tag);
    if (n < 10)
        return {};
    if (n == 43)
        return "043";
    if (n >= 90 && n <= 99)
        return "09X";
    if (n < 100)
        return "0XX";
    if (n == 781)
        return "781";
    static constexpr std::array<std::string_view, 9> hundreds{"", "1XX", "2XX", "3XX", "4XX",
                                                               "5XX", "6XX", "7XX", "8XX"};
    return n >= 900 ? std::string_view("9XX") : hundreds[static_cast<std::size_t>(n / 100)];
}

MergeConfiguration MergeConfiguration::read(
    const std::vector<std::string>& documentNames,
    const std::vector<std::pair<std::string, std::string>>& parameters,
    std::vector<std::string>& errors) {
    MergeConfiguration c;
    std::map<std::string, std::string, std::less<>> p(parameters.begin(), parameters.end());
    const auto param = [&](const std::string& name) {
        const auto it = p.find(name);
        return it == p.end() ? std::string() : it->second;
    };
    for (const std::string& name : documentNames) {
        const std::size_t bar = name.find('|');
        if (bar == std::string::npos)
            continue;
        const std::string code = name.substr(0, bar);
        const std::string label = name.substr(bar + 1);
        if (std::find(DoNotMergeCodes.begin(), DoNotMergeCodes.end(), code) !=
            DoNotMergeCodes.end()) {
            c.doNotMerge.push_back({code, param(inputParameter(code))});
            continue;
        }
        if (code == "00806" || code == "00812" || code == "00813") {
            c.keep008Bytes.insert(code);
            continue;
        }
        const auto option = std::find_if(Options.begin(), Options.end(),
                                         [&](const OptionLabel& o) { return o.label == label; });
        if (option == Options.end()) {
            errors.push_back("unknown merge rule \"" + name + "\"");
            continue;
        }
        CategoryRule& rule = c.categories[code];
        rule.retention = option->retention;
        rule.fields = splitList(param("FIELDS_" + code));
        rule.addSubfield5 = param("ADD_SUB5_" + code) == "Y";
    }
    for (const auto& [name, value] : parameters)
        if (name.starts_with("MMM_"))
            c.mergeMultiple[name] = value == "Y";
    c.localNucCode = param("LOCAL_NUC_CODE");
    c.localNucCodes = splitList(param("LOCAL_NUC_CODE_LIST"));
    if (!c.localNucCode.empty())
        c.localNucCodes.insert(c.localNucCode);
    c.ignore4xxOnMatched008 = param("IGNORE_4XX_MATCHED_008") == "Y";
    c.ignore5xxOnMatched008 = param("IGNORE_5XX_MATCHED_008") == "Y";
    if (const std::string id = param("LOAD_CHOOSE_BEST_RULE_SET_ID"); !id.empty()) {
        std::int32_t n = 0;
        if (std::from_chars(id.data(), id.data() + id.size(), n).ec == std::errc())
            c.chooseBestGroup = n;
    }
    const std::string unmatched = param("IMPORT_UNMATCHED_RECORDS");
    c.importUnmatched = unmatched == "1" || unmatched == "Y" || unmatched == "True";
    return c;
}

} // namespace orvane::server::authload
