#pragma once
// The checks the templates make before a line is stored: field tags from
// 010 to 999, and the line the template wrote read back by the rule model,
// which must find no error in it.

#include <QString>

namespace rules {
class RuleCondition;
class RuleConsequence;
} // namespace rules

namespace velumar {

inline constexpr char FieldValueMessage[] = "Field value must be from 010 to 999.";

// True unless the text is a three-digit tag from 010 to 999.
bool IsInvalidFieldTag(const QString& tag);
// A tag pattern a line may name instead of one tag: "9XX" or "65X".
bool IsTagPattern(const QString& tag);

// The model's message for the line as written; empty when it reads back clean.
QString ReadBackError(const rules::RuleCondition& rendered);
QString ReadBackError(const rules::RuleConsequence& rendered);

} // namespace velumar
