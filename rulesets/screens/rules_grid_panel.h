#pragma once
// The rules of the rule set being edited (vsfRules), each by its name and
// first condition, with Add, Edit, Remove, Up and Down. Add and Edit open
// the rule editor; its OK stores the rule in the document. Rules with a line
// the model cannot read are highlighted in the operator's colour.

#include "dialog_runner.h"

#include <QColor>
#include <QWidget>

class QPushButton;

namespace rules {
class RuleDocument;
}

namespace velumar {

class Grid;
class SessionState;

class RulesGridPanel : public QWidget {
    Q_OBJECT
public:
    RulesGridPanel(SessionState& state, int ruleType, QWidget* parent = nullptr);

    // The document whose rules are listed; null: none.
    void SetDocument(rules::RuleDocument* document);
    // How the rule editor is shown.
    void SetDialogRunner(DialogRunner runner) { runDialog_ = std::move(runner); }
    void RedrawHighlighting();

    void AddRule();
    void EditRule();
    void RemoveRule();
    void MoveRule(bool up);

private:
    void fill(qint32 selectIndex = -1);
    void setButtons();
    qint32 selectedIndex() const;
    void runEditor(bool existing);

    SessionState& state_;
    int ruleType_;
    DialogRunner runDialog_;
    rules::RuleDocument* document_ = nullptr;
    Grid* vsfRules_;
    QPushButton* cmdAddRule_;
    QPushButton* cmdEditRule_;
    QPushButton* cmdRemoveRule_;
    QPushButton* cmdUp_;
    QPushButton* cmdDown_;
};

} // namespace velumar
