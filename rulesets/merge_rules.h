#pragma once
// The fixed library of merge rules an authority-load merge configuration
// is built from: the categories and the retention options each offers, the
// merge-multiple-matches types, and the "Apply Only To Fields" lists.

#include <QString>
#include <QStringList>
#include <span>

namespace velumar::merge_rules {

enum class Options { TickBox, General, Heading };

struct Category {
    const char* code;  // "1XX", or an 008 row code
    const char* label; // "1XX Retention"
    Options options;
};

struct MultipleMatchType {
    const char* parameter; // "MMM_SERIES"
    const char* label;
};

// In display order.
std::span<const Category> Categories();
std::span<const MultipleMatchType> MultipleMatchTypes();
// The first of each list is the default, stored as no link.
const QStringList& GeneralOptions();
const QStringList& HeadingOptions();
// The options a category's list offers: "781" has one more.
QStringList OptionsOf(const Category& category);
const Category* FindCategory(const QString& code);
bool Is008Row(const QString& code);

// The do-not-merge code's "_INPUT" parameter; empty for codes without input.
QString InputParameter(const QString& code);

// Each entry's whole number, without its sign, kept when inside the
// category's range; the kept ones as three-digit tags joined by ",".
QString ValidateFieldList(const QString& category, const QString& list);

} // namespace velumar::merge_rules
