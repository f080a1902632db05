#include "replace_string_inputs.h"

#include "control_field_inputs.h"
#include "control_variables.h"
#include "marc_reference_inputs.h"
#include "template_inputs.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>

namespace velumar {

namespace {

QWidget* row(const QString& caption, QWidget* input, QWidget* extra = nullptr) {
    auto* holder = new QWidget;
    auto* layout = new QHBoxLayout(holder);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* label = new QLabel(caption);
    label->setBuddy(input);
    layout->addWidget(label);
    layout->addWidget(input, 1);
    if (extra)
        layout->addWidget(extra);
    return holder;
}

} // namespace

ReplaceStringInputs::ReplaceStringInputs(QWidget* parent)
    : QWidget(parent), spnTempVariable_(new QSpinBox),
      optDataField_(new QRadioButton(QStringLiteral("&Data field"))),
      optControlField_(new QRadioButton(QStringLiteral("C&ontrol field"))),
      refSource_(new MarcReferenceInputs(QStringLiteral("refSource"))),
      ctlSource_(new ControlFieldInputs(QStringLiteral("ctlSource"))),
      txtSearch_(MakeValueInput("txtSearch")), spnPosition_(new QSpinBox),
      txtReplace_(MakeValueInput("txtReplace")),
      chkPattern_(new QCheckBox(QStringLiteral("&Pattern"))) {
    setObjectName(QStringLiteral("rplString"));
    spnTempVariable_->setObjectName(QStringLiteral("spnTempVariable"));
    spnTempVariable_->setRange(1, 99);
    optDataField_->setObjectName(QStringLiteral("optDataField"));
    optControlField_->setObjectName(QStringLiteral("optControlField"));
    spnPosition_->setObjectName(QStringLiteral("spnPosition"));
    spnPosition_->setRange(0, 99999);
    chkPattern_->setObjectName(QStringLiteral("chkPattern"));
    chkPattern_->setToolTip(QStringLiteral("The string searched is a pattern, not plain text"));
    MarcReferenceParts parts;
    parts.indicators = parts.fieldOccurrence = false;
    parts.severalSubfields = parts.subfieldOccurrence = false;
    refSource_->Configure(parts);
    auto* group = new QButtonGroup(this);
    group->addButton(optDataField_);
    group->addButton(optControlField_);
    optDataField_->setChecked(true);

    auto* options = new QHBoxLayout;
    options->addWidget(new QLabel(QStringLiteral("Works on:")));
    options->addWidget(optDataField_);
    options->addWidget(optControlField_);
    options->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* variableRow = row(QStringLiteral("TEMP &variable:"), spnTempVariable_);
    spnTempVariable_->setMaximumWidth(64);
    static_cast<QHBoxLayout*>(variableRow->layout())->addStretch(1);
    layout->addWidget(variableRow);
    layout->addLayout(options);
    layout->addWidget(refSource_);
    layout->addWidget(ctlSource_);
    layout->addWidget(row(QStringLiteral("&String:"), txtSearch_, chkPattern_));
    positionRow_ = row(QStringLiteral("At &position:"), spnPosition_);
    layout->addWidget(positionRow_);
    replaceRow_ = row(QStringLiteral("&Replace with:"), txtReplace_);
    layout->addWidget(replaceRow_);
    connect(group, &QButtonGroup::buttonToggled, this, [this] { showChosen(); });
    connect(ctlSource_, &ControlFieldInputs::Changed, this, [this] { showChosen(); });
    Configure(true);
}

void ReplaceStringInputs::Configure(bool atPosition) {
    atPosition_ = atPosition;
    ctlSource_->Configure({true, atPosition, false});
    showChosen();
}

void ReplaceStringInputs::showChosen() {
    const bool control = optControlField_->isChecked();
    refSource_->setVisible(!control);
    ctlSource_->setVisible(control);
    positionRow_->setVisible(atPosition_);
    replaceRow_->setVisible(!atPosition_);
    chkPattern_->setVisible(!atPosition_);
    const ControlReference source = ctlSource_->Reference();
    const auto* variable = control && atPosition_
                               ? rules::FindControlVariable(source.field, source.variable)
                               : nullptr;
    // The variable's byte range gives where the string is written.
    spnPosition_->setEnabled(!variable);
    if (variable)
        spnPosition_->setValue(variable->start);
}

void ReplaceStringInputs::SetReplace(const ReplaceString& replace) {
    spnTempVariable_->setValue(std::max(1, replace.variableNumber));
    (replace.controlField.empty() ? optDataField_ : optControlField_)->setChecked(true);
    MarcReference source;
    source.field = replace.field;
    source.subfields = replace.subfield;
    refSource_->SetReference(source);
    ctlSource_->SetReference({replace.controlField, {}, -1, -1});
    txtSearch_->setText(FromStd(replace.search));
    spnPosition_->setValue(replace.position);
    txtReplace_->setText(FromStd(replace.replacement));
    chkPattern_->setChecked(replace.pattern);
    showChosen();
}

ReplaceString ReplaceStringInputs::Replace() const {
    ReplaceString replace;
    replace.variableNumber = spnTempVariable_->value();
    if (optControlField_->isChecked()) {
        replace.controlField = ctlSource_->Reference().field;
    } else {
        const MarcReference source = refSource_->Reference();
        replace.field = source.field;
        replace.subfield = source.subfields;
    }
    replace.search = ToStd(txtSearch_->text());
    if (atPosition_) {
        replace.position = spnPosition_->value();
    } else {
        replace.replacement = ToStd(txtReplace_->text());
        replace.pattern = chkPattern_->isChecked();
    }
    return replace;
}

} // namespace velumar
