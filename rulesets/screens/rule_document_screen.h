#pragma once
// The rule sets of one type ("Data Change Rule Sets", "Scan Rule Sets"):
// each rule document listed, made new, copied, imported from a ".dslr"
// file or edited with its rules, saved, deleted and exported.

#include "dialog_runner.h"
#include "rule_document.h"
#include "rule_object_screen.h"

namespace velumar {

class RulesGridPanel;

class RuleDocumentScreen : public RuleObjectScreen {
    Q_OBJECT
public:
    RuleDocumentScreen(SessionState& state, const RuleScreenKind& kind, QWidget* parent = nullptr);

    void Export();
    void Import();

    // How the rule editor is shown.
    void SetDialogRunner(DialogRunner runner);
    void RedrawRuleHighlighting() override;
    // The rule set being edited; null when no edit is open.
    rules::RuleDocument* Working() { return document_ ? &*document_ : nullptr; }

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
    void setButtons() override;

private:
    bool begin(std::optional<rules::RuleDocument> document);
    QString folder() const;

    std::optional<rules::RuleDocument> document_;
    RulesGridPanel* rules_;
    QPushButton* cmdExport_;
    QPushButton* cmdImport_;
};

} // namespace velumar
