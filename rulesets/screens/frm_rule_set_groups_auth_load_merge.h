#pragma once
// "Load Merge Configuration": authority-load merge groups (type 4), each
// with its companion choose-best group (type 5) named after it with
// "{linked}", its settings (import unmatched records, local NUC code and
// list) and a summary of its rules, which the merge configuration dialog
// edits. Saving saves the companion first; deleting deletes it first.

#include "dialog_runner.h"
#include "rule_object_screen.h"
#include "rule_set.h"

class QCheckBox;
class QListWidget;

namespace velumar {

class frmRuleSetGroups_AuthLoadMerge : public RuleObjectScreen {
    Q_OBJECT
public:
    static constexpr char CompanionSuffix[] = "{linked}";

    explicit frmRuleSetGroups_AuthLoadMerge(SessionState& state, QWidget* parent = nullptr);

    // Opens the merge configuration dialog on the groups being edited.
    void EditRules();
    // How the merge configuration dialog is shown.
    void SetDialogRunner(DialogRunner runner) { runDialog_ = std::move(runner); }

    // The groups being edited; null when no edit is open.
    RuleSet* Merge() { return merge_ ? &*merge_ : nullptr; }
    RuleSet* ChooseBest() { return chooseBest_ ? &*chooseBest_ : nullptr; }

protected:
    void load() override;
    void fill(Grid& grid, qint32 selectId) override;
    std::optional<Shown> shown(qint32 id) override;
    bool prepareNew() override;
    bool prepareCopy(qint32 id) override;
    bool prepareEdit(qint32 id) override;
    Shown working() const override;
    qint32 saveWorking(const QString& name, const QString& description) override;
    void deleteObject(qint32 id) override;
    void discardWorking() override;
    void showSelected(qint32 id) override;
    void setButtons() override;

private:
    const RuleSet* listed(qint32 id);
    // The companion's id the merge group names; 0 for none.
    static qint32 companionOf(const RuleSet& merge);
    bool begin(std::optional<RuleSet> merge, std::optional<RuleSet> chooseBest);
    void showSummary();

    DialogRunner runDialog_;
    std::optional<RuleSet> merge_;
    std::optional<RuleSet> chooseBest_;
    QCheckBox* chkViewImportUnmatched_;
    QLineEdit* txtViewNucCode_;
    QLineEdit* txtViewNucCodeList_;
    QCheckBox* chkImportUnmatchedRecords_;
    QLineEdit* txtLocalNucCode_;
    QLineEdit* txtLocalNucCodeList_;
    QListWidget* lstSummary_;
    QPushButton* cmdEditRules_;
};

} // namespace velumar
