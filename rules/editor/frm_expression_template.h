#pragma once
// The MARC expression template: a bare MARC expression (a field or subfield,
// or a control field's bytes) that a consequence takes its value from.

#include "rule_condition.h"
#include "template_dialog.h"

namespace velumar {

class ControlFieldInputs;
class MarcReferenceInputs;

class frmExpressionTemplate : public TemplateDialog {
    Q_OBJECT
public:
    static constexpr int HelpContext = 30900;
    // This template's own wording of the field tag check.
    static constexpr char FieldValueMessage[] = "Field value must from 010 to 999.";

    explicit frmExpressionTemplate(PlatformServices& platform, QWidget* parent = nullptr);

    // Reads the expression (empty: a new MARC Value).
    void SetExpression(const QString& text);
    // The expression as the model writes it.
    QString Expression();

protected:
    void showKind(int kind) override;
    QStringList renderedLines() override;
    bool check() override;

private:
    void loadExpression(const QString& text);
    void writeInputs();

    rules::RuleCondition expression_;
    MarcReferenceInputs* refField_;
    ControlFieldInputs* ctlControl_;
};

} // namespace velumar
