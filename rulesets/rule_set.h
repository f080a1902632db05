#pragma once
// A rule set group: a named, ordered list of links to rule documents of one
// rule type, with named parameters. Authority-load configurations are
// groups too; their merge rules are coded in the names of the documents
// they link (see merge_rules.h).

#include "name_value_bean.h"
#include "rule_doc_link.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

class QComboBox;

namespace orvane {
class Channel;
}

namespace rules {
class RuleDocument;
}

namespace velumar {

class Grid;
class RuleSets;

class RuleSet {
public:
    RuleSet();

    qint32 Id = 0; // "ID"; 0 until first saved
    QString Name;
    QString Description;
    QString CreateOperator;
    QString UpdateOperator;
    QString UpdateDate;
    QString RequiredParameters; // "PN": the job parameters the linked documents ask for
    std::vector<rules::RuleDocLink> Links;
    QList<NameValueBean> Parameters;
    // Orders below 0 mark links added here since the last load.
    qint32 NextLinkOrder = -1;
    QStringList DoNotMergeCodes;

    QString Key() const { return QString::number(Id); }
    const QString& LastOperator() const {
        return UpdateOperator.isEmpty() ? CreateOperator : UpdateOperator;
    }

    // One "GET_RULE_SETS" answer record.
    void PopulateFromPelm(orvane::Channel& channel);
    void SetFields(const QString& name, const QString& description, const QString& createOperator,
                   const QString& updateOperator, const QString& updateDate,
                   std::optional<qint32> id = std::nullopt);
    // "Copy of " + Name, the same description, nothing else.
    RuleSet Copy() const;

    // Links, found by key ("docId|order").
    QString AddLink(qint32 docId);
    void RemoveLink(const QString& key);
    void MoveLinkUp(const QString& key);
    void MoveLinkDown(const QString& key);
    bool IsLinked(qint32 docId) const;
    bool IsNotLinked(const rules::RuleDocument& document) const;
    void ClearLinks() { Links.clear(); }
    void ClearParameters() { Parameters.clear(); }
    void CopyLinksFrom(const RuleSet& other);
    void CopyLinksTo(RuleSet& target) const;
    RuleSet CloneLinks() const;
    // The records of a "GET_RULE_DOCUMENTS_FOR_SET" answer; the type's
    // documents are reloaded unless previouslyLoaded.
    void LoadLinks(RuleSets& owner, int ruleType, bool previouslyLoaded);

    // "GET_RULE_SET_PARAMETERS" of this group, or of the given id.
    void LoadParameters(RuleSets& owner, std::optional<qint32> id = std::nullopt);
    QString GetParameter(const QString& name) const;
    bool IsParameterSet(const QString& name) const { return GetParameter(name) == "Y"; }
    void SetParameter(const QString& name, const QString& value);
    // Case-sensitive: the name anywhere in RequiredParameters.
    bool HasRequiredParameter(const QString& name) const {
        return RequiredParameters.contains(name, Qt::CaseSensitive);
    }

    // "SAVE_RULE_SET" under the given type, name and description; the new or
    // kept id, 0 on failure (reported). This object is not changed.
    qint32 Save(RuleSets& owner, int ruleType, const QString& name,
                const QString& description) const;

    void AddToList(QComboBox& list) const;
    void FillLinkedGrid(RuleSets& owner, Grid& grid, int ruleType,
                        const QString& keyToSelect = {}) const;
    // The link key of a row FillLinkedGrid filled (its row data is the DocId).
    static QString LinkKeyAt(const Grid& grid, int row);
    void FillAvailableGrid(RuleSets& owner, Grid& grid, int ruleType, qint32 idToSelect = -1) const;
    // Unlinks the match-code document and hands it back; none when unlinked.
    const rules::RuleDocument* TakeMatchCodeRuleDocument(RuleSets& owner);

    // Merge configurations (type 4): coded document names and their summary.
    struct CodedName {
        QString code;
        QString label;
    };
    // At the first "|"; a name without one has neither.
    static CodedName SplitCodedName(const QString& name);
    bool IsDoNotMergeRuleDocument(const rules::RuleDocument& document) const;
    static bool RequiresInput(const QString& code);
    // The "_INPUT" parameter of the do-not-merge code the name begins with.
    QString GetDoNotMergeInput(const QString& name) const;
    QStringList DoNotMergeSummary(RuleSets& owner) const;
    QStringList MergeRulesSummary(RuleSets& owner) const;
    QStringList MergeMultipleMatchesSummary() const;
    QStringList BestMatchRulesSummary(RuleSets& owner) const; // of the choose-best companion

private:
    int indexOf(const QString& key) const;
};

} // namespace velumar
