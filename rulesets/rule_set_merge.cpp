// The merge configuration side of a rule set group: its linked merge
// documents are named "code|label", and its parameters qualify them.
#include "merge_rules.h"
#include "rule_document.h"
#include "rule_set.h"
#include "rule_sets.h"

namespace velumar {

namespace {

constexpr int MergeType = 4;
constexpr int ChooseBestType = 5;

QString nameOf(const rules::RuleDocument& document) {
    return QString::fromStdString(document.Name);
}

} // namespace

RuleSet::CodedName RuleSet::SplitCodedName(const QString& name) {
    const int bar = name.indexOf('|');
    if (bar < 0)
        return {};
    return {name.left(bar), name.mid(bar + 1)};
}

bool RuleSet::IsDoNotMergeRuleDocument(const rules::RuleDocument& document) const {
    const QString name = nameOf(document);
    for (const auto& code : DoNotMergeCodes)
        if (name.startsWith(code))
            return true;
    return false;
}

bool RuleSet::RequiresInput(const QString& code) {
    return !merge_rules::InputParameter(code).isEmpty();
}

QString RuleSet::GetDoNotMergeInput(const QString& name) const {
    for (const auto& code : DoNotMergeCodes)
        if (name.startsWith(code)) {
            const QString parameter = merge_rules::InputParameter(code.chopped(1));
            return parameter.isEmpty() ? QString() : GetParameter(parameter);
        }
    return {};
}

QStringList RuleSet::DoNotMergeSummary(RuleSets& owner) const {
    QStringList lines;
    for (const auto& link : Links) {
        const auto* document = owner.GetRuleDocument(MergeType, link.DocId);
        if (!document || !IsDoNotMergeRuleDocument(*document))
            continue;
        const QString name = nameOf(*document);
        lines << SplitCodedName(name).label + " " + GetDoNotMergeInput(name);
    }
    if (!lines.isEmpty())
        lines.prepend("Do Not Merge If:");
    return lines;
}

QStringList RuleSet::MergeRulesSummary(RuleSets& owner) const {
    QStringList lines;
    for (const auto& link : Links) {
        const auto* document = owner.GetRuleDocument(MergeType, link.DocId);
        if (!document || IsDoNotMergeRuleDocument(*document))
            continue;
        const auto [category, option] = SplitCodedName(nameOf(*document));
        if (merge_rules::Is008Row(category)) {
            lines << option;
            continue;
        }
        QString line = category + " " + option;
        if (const QString fields = GetParameter("FIELDS_" + category); !fields.isEmpty())
            line += " [" + fields + "]";
        if (IsParameterSet("ADD_SUB5_" + category))
            line += " [Add $5]";
        if (category == "4XX" && IsParameterSet("IGNORE_4XX_MATCHED_008"))
            line += " [ignore existing 4XX...]";
        if (category == "5XX" && IsParameterSet("IGNORE_5XX_MATCHED_008"))
            line += " [ignore existing 5XX...]";
        lines << line;
    }
    if (!lines.isEmpty())
        lines.prepend("Merge Rules:");
    return lines;
}

QStringList RuleSet::MergeMultipleMatchesSummary() const {
    QStringList lines;
    for (const auto& type : merge_rules::MultipleMatchTypes())
        if (IsParameterSet(type.parameter))
            lines << type.label;
    if (!lines.isEmpty())
        lines.prepend("Merge Multiple Matches of Type:");
    return lines;
}

QStringList RuleSet::BestMatchRulesSummary(RuleSets& owner) const {
    QStringList lines;
    for (const auto& link : Links)
        if (const auto* document = owner.GetRuleDocument(ChooseBestType, link.DocId))
            lines << nameOf(*document);
    if (!lines.isEmpty())
        lines.prepend("Best Match Rules:");
    return lines;
}

} // namespace velumar
