#include "frm_expression_template.h"

#include "control_field_inputs.h"
#include "line_checks.h"
#include "marc_reference_inputs.h"
#include "template_inputs.h"

#include <QVBoxLayout>

namespace velumar {

namespace ck = rules::condition_kind;

frmExpressionTemplate::frmExpressionTemplate(PlatformServices& platform, QWidget* parent)
    : TemplateDialog(platform, QStringLiteral("frmExpressionTemplate"),
                     QStringLiteral("MARC Expression"), HelpContext, parent),
      refField_(new MarcReferenceInputs(QStringLiteral("refField"))),
      ctlControl_(new ControlFieldInputs(QStringLiteral("ctlControl"))) {
    addKind(QStringLiteral("MARC Control Value"), ck::ControlExpression);
    addKind(QStringLiteral("MARC Value"), ck::Expression);
    MarcReferenceParts parts;
    parts.severalSubfields = false;
    refField_->Configure(parts);
    inputs()->addWidget(refField_);
    inputs()->addWidget(ctlControl_);
    watchInputs();
    SetExpression(QString());
}

void frmExpressionTemplate::SetExpression(const QString& text) {
    loadExpression(text);
    SetKind(expression_.Kind);
}

void frmExpressionTemplate::loadExpression(const QString& text) {
    expression_ = rules::RuleCondition();
    expression_.ParseExpression(ToStd(text));
    const Loading loading(*this);
    refField_->SetReference({expression_.Field, expression_.Indicator1, expression_.Indicator2,
                             expression_.FieldOccurrence, expression_.Subfields,
                             expression_.SubfieldOccurrence});
    ctlControl_->SetReference({expression_.ControlField, expression_.ControlVariable,
                               expression_.ByteStart, expression_.ByteEnd});
}

void frmExpressionTemplate::showKind(int kind) {
    refField_->setVisible(kind == ck::Expression);
    ctlControl_->setVisible(kind == ck::ControlExpression);
}

void frmExpressionTemplate::writeInputs() {
    const int kind = Kind();
    if (kind < 0)
        return;
    expression_.Kind = kind;
    expression_.ErrorText.clear();
    expression_.Operator = rules::condition_operator::None;
    if (kind == ck::Expression) {
        const MarcReference reference = refField_->Reference();
        expression_.Field = reference.field;
        expression_.Indicator1 = reference.indicator1;
        expression_.Indicator2 = reference.indicator2;
        expression_.FieldOccurrence = reference.fieldOccurrence;
        expression_.Subfields = reference.subfields;
        expression_.SubfieldOccurrence = reference.subfieldOccurrence;
    } else {
        const ControlReference reference = ctlControl_->Reference();
        expression_.ControlField = reference.field;
        expression_.ControlVariable = reference.variable;
        expression_.ByteStart = reference.byteStart;
        expression_.ByteEnd = reference.byteEnd;
    }
}

QStringList frmExpressionTemplate::renderedLines() {
    return {Expression()};
}

QString frmExpressionTemplate::Expression() {
    writeInputs();
    rules::RuleCondition written = expression_.Clone();
    written.Render();
    return FromStd(written.Text);
}

bool frmExpressionTemplate::check() {
    writeInputs();
    if (expression_.Kind == ck::Expression && IsInvalidFieldTag(FromStd(expression_.Field)))
        return refuse(QString::fromLatin1(FieldValueMessage));
    rules::RuleCondition read;
    if (const auto& error = read.ParseExpression(ToStd(Expression())); !error.empty())
        return refuse(FromStd(error));
    return true;
}

} // namespace velumar
