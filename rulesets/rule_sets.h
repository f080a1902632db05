#pragma once
// The one catalogue of rule documents and rule set groups, per rule type
// 1 to 6, and of the duplicate detection profiles. Screens reach the
// server about these objects only through here, RuleSet and RuleDocument.

#include "common/keyed_collection.h"
#include "dupe_detection_profile.h"
#include "rule_document.h"
#include "rule_set.h"

#include <QString>
#include <array>
#include <optional>

class QComboBox;
class QLineEdit;

namespace orvane {
class Channel;
}

namespace velumar {

class Grid;
class PlatformServices;
class SessionState;

class RuleSets {
public:
    explicit RuleSets(SessionState& state);
    RuleSets(const RuleSets&) = delete;
    RuleSets& operator=(const RuleSets&) = delete;

    orvane::Channel& channel();
    PlatformServices& platform();
    QString operatorId() const;

    void LoadRuleDocuments(int ruleType);
    void LoadRuleSets(int ruleType);
    // The loaded collections themselves; types outside 1 to 6 answer null.
    KeyedCollection<rules::RuleDocument>* GetRuleDocuments(int ruleType);
    KeyedCollection<RuleSet>* GetRuleSets(int ruleType);

    rules::RuleDocument* GetRuleDocument(int ruleType, qint32 id);
    std::optional<rules::RuleDocument> CopyRuleDocument(int ruleType, qint32 id);
    RuleSet* GetRuleSet(int ruleType, qint32 id);
    RuleSet* GetRuleSetWithLinks(int ruleType, qint32 id, bool previouslyLoaded);
    std::optional<RuleSet> CopyRuleSet(int ruleType, qint32 id, bool previouslyLoaded);

    void DeleteRuleDocument(qint32 id);
    // False only when the server answered 0.
    bool DeleteRuleSet(qint32 id);

    void FillRuleDocumentGrid(int ruleType, Grid& grid, qint32 idToSelect = -1);
    void FillRuleSetGrid(int ruleType, Grid& grid, qint32 idToSelect = -1);
    void FillRuleSetList(int ruleType, QComboBox& list);

    // Among the match (type 3) documents; 0 when absent.
    qint32 FindRuleDocumentId(const QString& name);
    // Merge (type 4) documents only; none when absent or for another type.
    std::optional<qint32> FindMergeRuleDocumentId(int ruleType, const QString& name);

    void LoadDupeDetectionProfiles();
    const KeyedCollection<DupeDetectionProfile>& DupeDetectionProfiles() const { return profiles_; }
    void FillDupeDetectionProfileCombo(QComboBox& combo, const QString& code);
    qint32 GetDupeDetectionProfileId(const QString& code) const;
    QString GetDupeDetectionProfileCode(qint32 id) const;
    void ShowMatchSettings(const RuleSet* group, QLineEdit& tag, QLineEdit& profile) const;

    // True unless the text is a three-digit tag from 010 to 999.
    static bool IsInvalidTag(const QString& text);

private:
    // 0 or 55 is a list; otherwise the message for 6 or for any other status.
    bool listAnswered(qint16 status, const char* notAuthorised, const char* failed);
    void reportDelete(qint16 status, const char* inUse, const char* notAuthorised,
                      const char* failed);
    static bool typed(int ruleType) { return ruleType >= 1 && ruleType <= 6; }

    SessionState& state_;
    std::array<KeyedCollection<rules::RuleDocument>, 6> documents_;
    std::array<KeyedCollection<RuleSet>, 6> groups_;
    KeyedCollection<DupeDetectionProfile> profiles_;
};

} // namespace velumar
