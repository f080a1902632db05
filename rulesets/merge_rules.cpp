#include "merge_rules.h"

#include <array>
#include <utility>

namespace velumar::merge_rules {

namespace {

constexpr std::array<Category, 16> CategoryTable{{
    {"00806", "Retain Local 008/06", Options::TickBox},
    {"00812", "Retain Local 008/12", Options::TickBox},
    {"00813", "Retain Local 008/13", Options::TickBox},
    {"043", "043 Retention", Options::General},
    {"09X", "09X Retention", Options::General},
    {"0XX", "0XX Retention", Options::General},
    {"1XX", "1XX Retention", Options::Heading},
    {"2XX", "2XX Retention", Options::General},
    {"3XX", "3XX Retention", Options::General},
    {"4XX", "4XX Retention", Options::General},
    {"5XX", "5XX Retention", Options::General},
    {"6XX", "6XX Retention", Options::General},
    {"781", "781 Retention", Options::General},
    {"7XX", "7XX Retention", Options::General},
    {"8XX", "8XX Retention", Options::General},
    {"9XX", "9XX Retention", Options::General},
}};

constexpr std::array<MultipleMatchType, 7> MultipleMatchTable{{
    {"MMM_SERIES", "Series (008/16 == 'a')"},
    {"MMM_TOPICAL", "Topical (contains field 150)"},
    {"MMM_NAME_TITLE", "Name/Title (contains a subfield 100$t)"},
    {"MMM_PERSONAL", "Personal (contains field 100)"},
    {"MMM_CORPORATE_CONFERENCE", "Corporate/Conference (contains field 110 or 111)"},
    {"MMM_UNIFORM_TITLE", "Uniform Title (contains field 130)"},
    {"MMM_GEOGRAPHIC", "Geographic (contains field 151)"},
}};

using Range = std::pair<int, int>;

bool inRange(const QString& category, int tag) {
    const auto within = [tag](std::initializer_list<Range> ranges) {
        for (const auto& [low, high] : ranges)
            if (tag >= low && tag <= high)
                return true;
        return false;
    };
    if (tag < 10 || tag > 999)
        return false;
    if (category == "09X")
        return within({{90, 99}});
    if (category == "0XX")
        return within({{10, 42}, {44, 89}});
    if (category == "6XX")
        return within({{600, 699}}) && tag != 642 && tag != 644 && tag != 645 && tag != 646;
    if (category == "7XX")
        return within({{700, 799}}) && tag != 781;
    if (category.size() == 3 && category.endsWith("XX") && category[0].isDigit()) {
        const int hundreds = category[0].digitValue() * 100;
        return within({{hundreds, hundreds + 99}});
    }
    return false;
}

} // namespace

std::span<const Category> Categories() { return CategoryTable; }
std::span<const MultipleMatchType> MultipleMatchTypes() { return MultipleMatchTable; }

const QStringList& GeneralOptions() {
    static const QStringList options{
        "Use incoming field",
        "Retain existing field instead of incoming field",
        "Retain existing field and incoming field",
        "Retain existing field if $5 present instead of incoming field",
        "Retain existing field if $5 present and incoming field",
        "Retain existing field if incoming field is empty",
        "Retain existing field if $5 present and incoming field is empty"};
    return options;
}

const QStringList& HeadingOptions() {
    static const QStringList options{"Discard old heading", "Move old heading to 688"};
    return options;
}

QStringList OptionsOf(const Category& category) {
    switch (category.options) {
    case Options::TickBox:
        return {};
    case Options::Heading:
        return HeadingOptions();
    case Options::General:
        break;
    }
    QStringList options = GeneralOptions();
    if (QString(category.code) == "781")
        options << "Retain existing field instead of incoming field unless headings differ";
    return options;
}

const Category* FindCategory(const QString& code) {
    for (const auto& category : CategoryTable)
        if (code == category.code)
            return &category;
    return nullptr;
}

bool Is008Row(const QString& code) {
    const auto* category = FindCategory(code);
    return category && category->options == Options::TickBox;
}

QString InputParameter(const QString& code) {
    if (code == "DNMLDR17")
        return "DNMLDR17_INPUT";
    if (code == "DNM040$a")
        return "DNM040_A_INPUT";
    if (code == "DNM040$d")
        return "DNM040_D_INPUT";
    return {};
}

QString ValidateFieldList(const QString& category, const QString& list) {
    QStringList kept;
    for (const QString& entry : list.split(',')) {
        QString digits = entry.trimmed();
        if (digits.startsWith('-') || digits.startsWith('+'))
            digits.remove(0, 1);
        bool numeric = false;
        const int tag = digits.toInt(&numeric);
        if (numeric && inRange(category, tag))
            kept << QString::number(tag).rightJustified(3, '0');
    }
    return kept.join(',');
}

} // namespace velumar::merge_rules
