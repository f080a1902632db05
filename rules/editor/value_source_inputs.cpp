#include "value_source_inputs.h"

#include "template_inputs.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

namespace velumar {

ValueSourceInputs::ValueSourceInputs(QWidget* parent)
    : QWidget(parent), optValue_(new QRadioButton(QStringLiteral("&Value:"))),
      optExpression_(new QRadioButton(QStringLiteral("MARC e&xpression:"))),
      optVariable_(new QRadioButton(QStringLiteral("&TEMP variable:"))),
      txtValue_(MakeValueInput("txtValue")), txtExpression_(new QLineEdit),
      cmdExpression_(new QPushButton(QStringLiteral("..."))), spnVariable_(new QSpinBox) {
    setObjectName(QStringLiteral("valSource"));
    optValue_->setObjectName(QStringLiteral("optValue"));
    optExpression_->setObjectName(QStringLiteral("optExpression"));
    optVariable_->setObjectName(QStringLiteral("optVariable"));
    txtExpression_->setObjectName(QStringLiteral("txtExpression"));
    // Built in the expression template, so it is always one the model reads.
    txtExpression_->setReadOnly(true);
    cmdExpression_->setObjectName(QStringLiteral("cmdExpression"));
    cmdExpression_->setToolTip(QStringLiteral("Build the MARC expression"));
    cmdExpression_->setMaximumWidth(32);
    spnVariable_->setObjectName(QStringLiteral("spnVariable"));
    spnVariable_->setRange(1, 99);
    auto* group = new QButtonGroup(this);
    for (QRadioButton* option : {optValue_, optExpression_, optVariable_})
        group->addButton(option);
    optValue_->setChecked(true);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(optValue_, 0, 0);
    grid->addWidget(txtValue_, 0, 1, 1, 2);
    grid->addWidget(optExpression_, 1, 0);
    grid->addWidget(txtExpression_, 1, 1);
    grid->addWidget(cmdExpression_, 1, 2);
    grid->addWidget(optVariable_, 2, 0);
    grid->addWidget(spnVariable_, 2, 1, Qt::AlignLeft);
    grid->setColumnStretch(1, 1);
    connect(group, &QButtonGroup::buttonToggled, this, [this] { enableChosen(); });
    enableChosen();
}

void ValueSourceInputs::enableChosen() {
    txtValue_->setEnabled(optValue_->isChecked());
    txtExpression_->setEnabled(optExpression_->isChecked());
    cmdExpression_->setEnabled(optExpression_->isChecked());
    spnVariable_->setEnabled(optVariable_->isChecked());
}

void ValueSourceInputs::SetSource(const ValueSource& source) {
    txtValue_->setText(FromStd(source.value));
    txtExpression_->setText(FromStd(source.expression));
    spnVariable_->setValue(std::max(1, source.variableNumber));
    // As the model writes it: a value first, then a variable, then an expression.
    if (!source.value.empty())
        optValue_->setChecked(true);
    else if (source.variableNumber > 0)
        optVariable_->setChecked(true);
    else if (!source.expression.empty())
        optExpression_->setChecked(true);
    else
        optValue_->setChecked(true);
}

ValueSource ValueSourceInputs::Source() const {
    ValueSource source;
    if (optValue_->isChecked())
        source.value = ToStd(txtValue_->text());
    else if (optExpression_->isChecked())
        source.expression = ToStd(txtExpression_->text());
    else
        source.variableNumber = spnVariable_->value();
    return source;
}

void ValueSourceInputs::SetExpression(const QString& expression) {
    txtExpression_->setText(expression);
}

QString ValueSourceInputs::ExpressionText() const {
    return txtExpression_->text();
}

} // namespace velumar
