#pragma once
// "Edit Rule": one rule's name, condition lines and consequence lines, each
// line made or changed in its template. The editor works on a copy of the
// rule; OK checks it and stores it in its document, Cancel leaves the
// document as it was. Scan rules have Include or Exclude in place of
// consequences.

#include "dialog_runner.h"

#include <QColor>
#include <QDialog>
#include <memory>

class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;

namespace rules {
class RuleComponent;
class RuleDocument;
} // namespace rules

namespace velumar {

class PlatformServices;
class SecurityProfile;

class frmRuleEditor : public QDialog {
    Q_OBJECT
public:
    static constexpr int HelpContext = 30900;
    static constexpr int ScanRules = 1;
    static constexpr int DataChangeRules = 2;

    frmRuleEditor(PlatformServices& platform, const SecurityProfile& profile, int ruleType,
                  QWidget* parent = nullptr);
    ~frmRuleEditor() override;

    // The rule of the document to edit; null: a new rule.
    void Edit(rules::RuleDocument& document, const rules::RuleComponent* rule);
    // OK: the checks, then the rule stored in the document.
    void Confirm();
    // The rule as edited so far.
    rules::RuleComponent& Rule() { return *rule_; }
    // The rule OK stored; null before.
    rules::RuleComponent* StoredRule() const { return stored_; }

    void AddCondition();
    void EditCondition();
    void RemoveCondition();
    void MoveCondition(bool up);
    void AddConsequence();
    void EditConsequence();
    void RemoveConsequence();
    void MoveConsequence(bool up);

    // How the templates are shown.
    void SetDialogRunner(DialogRunner runner) { runDialog_ = std::move(runner); }
    // The background of lines the model could not read.
    void SetErrorHighlight(const QColor& colour) { errorHighlight_ = colour; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void build();
    QPushButton* button(const char* name, const QString& caption);
    void fillConditions(const QString& selectKey = {});
    void fillConsequences(const QString& selectKey = {});
    void setButtons();
    QString selectedKey(const QTableWidget& grid) const;
    void select(QTableWidget& grid, const QString& key);
    void storeScanAction();
    void store();

    PlatformServices& platform_;
    const SecurityProfile& profile_;
    int ruleType_;
    DialogRunner runDialog_;
    QColor errorHighlight_;
    rules::RuleDocument* document_ = nullptr;
    const rules::RuleComponent* original_ = nullptr;
    std::unique_ptr<rules::RuleComponent> rule_;
    rules::RuleComponent* stored_ = nullptr;

    QLineEdit* txtName_;
    QTableWidget* vsfConditions_;
    QTableWidget* vsfConsequences_;
    QPushButton* cmdAddCondition_;
    QPushButton* cmdEditCondition_;
    QPushButton* cmdRemoveCondition_;
    QPushButton* cmdConditionUp_;
    QPushButton* cmdConditionDown_;
    QPushButton* cmdAddConsequence_ = nullptr;
    QPushButton* cmdEditConsequence_ = nullptr;
    QPushButton* cmdRemoveConsequence_ = nullptr;
    QPushButton* cmdConsequenceUp_ = nullptr;
    QPushButton* cmdConsequenceDown_ = nullptr;
    QRadioButton* optInclude_ = nullptr;
    QRadioButton* optExclude_ = nullptr;
};

} // namespace velumar
