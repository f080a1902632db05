#pragma once
// The texts the rule set requests show when the server refuses or fails,
// each in a warning box with the program's title.

#include <QString>

namespace velumar {

class PlatformServices;

namespace rule_set_messages {

inline constexpr char ViewDocuments[] = "Operator not authorized to view rule documents.";
inline constexpr char LoadDocuments[] = "Failed to load rule sets";
inline constexpr char ViewGroups[] = "Operator not authorized to view rule set groups.";
inline constexpr char LoadGroups[] = "Failed to load rule set groups.";
inline constexpr char LoadLinks[] = "Failed to load linked rule sets";
inline constexpr char ViewParameters[] = "Operator not authorized to view rule parameters.";
inline constexpr char LoadParameters[] = "Failed to load rule set parameters.";
inline constexpr char GroupNameTaken[] = "Rule set group name is already in use.";
inline constexpr char SaveGroup[] = "Failed to add rule set group.";
inline constexpr char DeleteDocumentRefused[] = "Operator not authorized to delete rule set.";
inline constexpr char DeleteDocument[] = "Failed to delete rule set.";
inline constexpr char DeleteGroupRefused[] = "Operator not authorized to delete rule set group.";
inline constexpr char DeleteGroup[] = "Failed to delete rule set group.";
inline constexpr char DocumentInUse[] =
    "This rule set is in use in the following rule set groups, and cannot be deleted:";
inline constexpr char GroupInUse[] =
    "This rule set group is in use in the following running or pending jobs, and cannot be "
    "deleted:";
inline constexpr char LoadProfiles[] = "Failed to load dupe detection profiles";

} // namespace rule_set_messages

void ShowRuleSetWarning(PlatformServices& platform, const QString& text);

} // namespace velumar
