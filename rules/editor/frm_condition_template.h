#pragma once
// The condition template: one condition line built from its kind and the
// inputs of that kind. The line it will write shows as the inputs change;
// OK checks the field tag and that the line reads back clean.

#include "rule_condition.h"
#include "template_dialog.h"

class QComboBox;
class QDateEdit;
class QLineEdit;
class QListWidget;
class QRadioButton;
class QWidget;

namespace velumar {

class ControlFieldInputs;
class MarcReferenceInputs;
class SecurityProfile;

class frmConditionTemplate : public TemplateDialog {
    Q_OBJECT
public:
    static constexpr int HelpContext = 30900;

    frmConditionTemplate(PlatformServices& platform, const SecurityProfile& profile,
                         QWidget* parent = nullptr);

    // Shows the condition's fields; a kind the list does not offer leaves
    // no kind chosen.
    void SetCondition(const rules::RuleCondition& condition);
    // The condition as the inputs give it, not yet rendered.
    const rules::RuleCondition& Condition();
    // The combinator list's value: "AND".
    QString Combinator() const;

protected:
    void showKind(int kind) override;
    QStringList renderedLines() override;
    bool check() override;

private:
    QWidget* row(const QString& caption, QWidget* input);
    void buildComparison();
    void buildDates();
    void buildLibraries();
    void buildSuppression();
    void writeInputs();
    void showOperatorValues();

    rules::RuleCondition condition_;
    MarcReferenceInputs* refField_;
    ControlFieldInputs* ctlControl_;
    QWidget* comparison_ = nullptr;
    QComboBox* cboOperator_ = nullptr;
    QWidget* value1Row_ = nullptr;
    QLineEdit* txtValue1_ = nullptr;
    QWidget* value2Row_ = nullptr;
    QLineEdit* txtValue2_ = nullptr;
    QWidget* dates_ = nullptr;
    QComboBox* cboDateRange_ = nullptr;
    QDateEdit* dtpFirstDate_ = nullptr;
    QDateEdit* dtpSecondDate_ = nullptr;
    QWidget* catalogerRow_ = nullptr;
    QLineEdit* txtCataloger_ = nullptr;
    QWidget* libraries_ = nullptr;
    QRadioButton* optLibraryIn_ = nullptr;
    QListWidget* lstOwningLibraries_ = nullptr;
    QWidget* suppression_ = nullptr;
    QRadioButton* optSuppressed_ = nullptr;
    QComboBox* cboCombinator_ = nullptr;
};

} // namespace velumar
