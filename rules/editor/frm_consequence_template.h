#pragma once
// The consequence template: one consequence built from its kind and the
// inputs of that kind. The lines it will write show as the inputs change;
// OK checks the field tags and that the lines read back clean. A copy into
// an existing field also builds the target line it pairs with.

#include "dialog_runner.h"
#include "rule_condition.h"
#include "rule_consequence.h"
#include "template_dialog.h"

#include <optional>
#include <string>
#include <vector>

class QComboBox;
class QLineEdit;
class QWidget;

namespace velumar {

class ControlFieldInputs;
class CopyTargetInputs;
class MarcReferenceInputs;
class ReplaceStringInputs;
class SubfieldPlacementInputs;
class ValueSourceInputs;

class frmConsequenceTemplate : public TemplateDialog {
    Q_OBJECT
public:
    static constexpr int HelpContext = 30900;

    // "Record Disposition" is offered only when the caller enables it.
    frmConsequenceTemplate(PlatformServices& platform, bool dispositionEnabled,
                           QWidget* parent = nullptr);

    // Shows the consequence's fields, and its target line's when it has one.
    void SetConsequence(const rules::RuleConsequence& consequence);
    // Tags of the Add MARC Field lines before this one: an Add MARC Subfield
    // on one of them fills that new field, which its line says.
    void SetAddedFieldTags(std::vector<std::string> tags) { addedFieldTags_ = std::move(tags); }
    // The consequence as the inputs give it, not yet rendered.
    const rules::RuleConsequence& Consequence();
    // The target line of a copy into an existing field; none otherwise.
    std::optional<rules::RuleCondition> TargetLine();

    // How the MARC expression template is shown.
    void SetDialogRunner(DialogRunner runner) { runDialog_ = std::move(runner); }
    void EditExpression();

protected:
    void showKind(int kind) override;
    QStringList renderedLines() override;
    bool check() override;

private:
    QWidget* row(const QString& caption, QWidget* input);
    QComboBox* list(const char* name);
    void buildChangeMarc();
    void loadInputs(const rules::RuleConsequence& c);
    void writeInputs();
    void writeChangeMarc();
    void enableChangeMarc();
    bool copiesToExisting() const;

    rules::RuleConsequence consequence_;
    rules::RuleCondition targetLine_;
    std::vector<std::string> addedFieldTags_;
    DialogRunner runDialog_;

    MarcReferenceInputs* refField_;
    ControlFieldInputs* ctlControl_;
    QWidget* newValueRow_;
    QLineEdit* txtNewValue_;
    ValueSourceInputs* valSource_;
    SubfieldPlacementInputs* plcSubfield_;
    CopyTargetInputs* cpyTarget_;
    ReplaceStringInputs* rplString_;
    QWidget* changeMarc_ = nullptr;
    QLineEdit* txtTargetSubfield_ = nullptr;
    QComboBox* cboIndicatorNumber_ = nullptr;
    QLineEdit* txtNewIndicator_ = nullptr;
    QLineEdit* txtTargetField_ = nullptr;
    QWidget* dispositionRow_;
    QComboBox* cboDisposition_;
    QWidget* exportRow_;
    QComboBox* cboExportOption_;
};

} // namespace velumar
