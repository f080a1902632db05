#pragma once
// The links of a rule set group edited as two lists: the type's rule sets
// not yet linked (sorted by name) and the linked ones in the order they
// run, with Add, Add All, Remove, Remove All, Up and Down. Each change
// refills both lists. One linked rule set may be kept: it cannot be removed.

#include <QWidget>

class QPushButton;

namespace velumar {

class Grid;
class RuleSet;
class RuleSets;

class LinkGrids : public QWidget {
    Q_OBJECT
public:
    LinkGrids(RuleSets& ruleSets, const QString& availableName, const QString& linkedName,
              QWidget* parent = nullptr);

    // The group whose links are edited, of this rule type; null: none.
    void SetGroup(RuleSet* group, int ruleType);
    // The rule set whose link stays (0: none).
    void SetKeptDocument(qint32 docId) { keptDocId_ = docId; }
    void Refill();

    void Add();
    void AddAll();
    void Remove();
    void RemoveAll();
    void MoveUp();
    void MoveDown();

    Grid& Available() const { return *available_; }
    Grid& Linked() const { return *linked_; }

signals:
    void Changed();

private:
    void refill(qint32 availableRow, const QString& linkedKey, int linkedRow = -1);
    void setButtons();
    QString selectedKey() const;
    bool kept(int linkedRow) const;

    RuleSets& ruleSets_;
    RuleSet* group_ = nullptr;
    int ruleType_ = 0;
    qint32 keptDocId_ = 0;
    Grid* available_;
    Grid* linked_;
    QPushButton* cmdAddRule_;
    QPushButton* cmdAddRulesAll_;
    QPushButton* cmdRemoveRule_;
    QPushButton* cmdRemoveRulesAll_;
    QPushButton* cmdUp_;
    QPushButton* cmdDown_;
};

} // namespace velumar
