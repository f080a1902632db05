#include "line_checks.h"

#include "rule_condition.h"
#include "rule_consequence.h"
#include "rule_sets.h"
#include "template_inputs.h"

#include <QRegularExpression>

namespace velumar {

bool IsInvalidFieldTag(const QString& tag) {
    return RuleSets::IsInvalidTag(tag);
}

bool IsTagPattern(const QString& tag) {
    static const QRegularExpression pattern(QStringLiteral("^(\\dXX|\\d\\dX)$"));
    return pattern.match(tag).hasMatch();
}

QString ReadBackError(const rules::RuleCondition& rendered) {
    rules::RuleCondition read;
    read.ParseLine(rendered.Text, rendered.LineIndex);
    return FromStd(read.ErrorText);
}

QString ReadBackError(const rules::RuleConsequence& rendered) {
    rules::RuleConsequence read;
    std::size_t cursor = 0;
    // Read as a line of the rule itself, not one inside a replace-string group.
    read.ParseLines(std::span<const std::string>(rendered.Lines), cursor,
                    std::max(1, rendered.LineIndex));
    return FromStd(read.ErrorText);
}

} // namespace velumar
