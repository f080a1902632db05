#include "control_field_inputs.h"

#include "control_variables.h"
#include "rule_template_tools.h"
#include "template_inputs.h"
#include "template_lists.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QSpinBox>

namespace velumar {

using rules::RuleTemplateTools;

namespace {

QSpinBox* bytePosition(const char* name) {
    auto* spin = new QSpinBox;
    spin->setObjectName(QString::fromLatin1(name));
    spin->setRange(-1, 9999);
    // -1 is no range.
    spin->setSpecialValueText(QStringLiteral(" "));
    spin->setValue(-1);
    return spin;
}

} // namespace

ControlFieldInputs::ControlFieldInputs(const QString& name, QWidget* parent)
    : QWidget(parent), cboControlField_(new QComboBox), cboControlVariable_(new QComboBox),
      spnByteStart_(bytePosition("spnByteStart")), spnByteEnd_(bytePosition("spnByteEnd")) {
    setObjectName(name);
    cboControlField_->setObjectName(QStringLiteral("cboControlField"));
    cboControlVariable_->setObjectName(QStringLiteral("cboControlVariable"));
    auto* lblControlField = new QLabel(QStringLiteral("Control &field:"));
    lblControlField->setBuddy(cboControlField_);
    lblControlVariable_ = new QLabel(QStringLiteral("&Variable:"));
    lblControlVariable_->setBuddy(cboControlVariable_);
    lblByteRange_ = new QLabel(QStringLiteral("&Bytes from, to:"));
    lblByteRange_->setBuddy(spnByteStart_);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(lblControlField, 0, 0);
    grid->addWidget(cboControlField_, 0, 1);
    grid->addWidget(lblControlVariable_, 0, 2);
    grid->addWidget(cboControlVariable_, 0, 3);
    grid->addWidget(lblByteRange_, 1, 0);
    grid->addWidget(spnByteStart_, 1, 1);
    grid->addWidget(spnByteEnd_, 1, 2);
    grid->setColumnStretch(4, 1);

    connect(cboControlField_, &QComboBox::currentIndexChanged, this, [this] {
        fillVariables();
        emit Changed();
    });
    connect(cboControlVariable_, &QComboBox::currentIndexChanged, this, [this] {
        showRange();
        emit Changed();
    });
    for (QSpinBox* spin : {spnByteStart_, spnByteEnd_})
        connect(spin, &QSpinBox::valueChanged, this, &ControlFieldInputs::Changed);
    Configure(parts_);
}

void ControlFieldInputs::Configure(const ControlFieldParts& parts) {
    parts_ = parts;
    const QString current = cboControlField_->currentText();
    const QString variable = cboControlVariable_->currentText();
    {
        const QSignalBlocker quiet(cboControlField_);
        cboControlField_->clear();
        for (const auto tag : RuleTemplateTools::ControlFieldNames())
            if (!parts.onlyLeaderAnd008 || tag == "LDR" || tag == "008")
                cboControlField_->addItem(FromStd(tag));
        cboControlField_->setCurrentIndex(std::max(0, cboControlField_->findText(current)));
    }
    lblControlVariable_->setVisible(parts.variables);
    cboControlVariable_->setVisible(parts.variables);
    lblByteRange_->setVisible(parts.byteRange);
    spnByteStart_->setVisible(parts.byteRange);
    spnByteEnd_->setVisible(parts.byteRange);
    fillVariables();
    // The variable chosen stays chosen when the field is still offered.
    const QSignalBlocker quiet(cboControlVariable_);
    cboControlVariable_->setCurrentIndex(std::max(0, cboControlVariable_->findText(variable)));
    showRange();
}

void ControlFieldInputs::fillVariables() {
    rules::TemplateList fields;
    fields.selected = cboControlField_->currentIndex();
    for (int i = 0; i < cboControlField_->count(); ++i)
        RuleTemplateTools::AddListItem(fields, ToStd(cboControlField_->itemText(i)), i);
    rules::TemplateList variables;
    RuleTemplateTools::FillControlVariableList(variables, fields);
    ShowTemplateList(*cboControlVariable_, variables);
    cboControlVariable_->setEnabled(cboControlVariable_->count() > 1);
    showRange();
}

void ControlFieldInputs::showRange() {
    const auto* variable = rules::FindControlVariable(ToStd(cboControlField_->currentText()),
                                                      ToStd(cboControlVariable_->currentText()));
    // A chosen variable stands for its byte range.
    spnByteStart_->setEnabled(!variable);
    spnByteEnd_->setEnabled(!variable);
    if (variable) {
        const QSignalBlocker quietStart(spnByteStart_);
        const QSignalBlocker quietEnd(spnByteEnd_);
        spnByteStart_->setValue(variable->start);
        spnByteEnd_->setValue(variable->end);
    }
}

void ControlFieldInputs::SetReference(const ControlReference& reference) {
    const int at = cboControlField_->findText(FromStd(reference.field));
    cboControlField_->setCurrentIndex(std::max(0, at));
    fillVariables();
    rules::TemplateList variables = TemplateListOf(*cboControlVariable_);
    RuleTemplateTools::SelectControlVariable(variables, reference.variable);
    cboControlVariable_->setCurrentIndex(std::max(0, variables.selected));
    if (reference.variable.empty() || !parts_.variables) {
        spnByteStart_->setValue(reference.byteStart);
        spnByteEnd_->setValue(reference.byteEnd);
    }
}

ControlReference ControlFieldInputs::Reference() const {
    ControlReference reference;
    reference.field = ToStd(cboControlField_->currentText());
    if (parts_.variables)
        reference.variable = ToStd(cboControlVariable_->currentText());
    if (parts_.byteRange && reference.variable.empty()) {
        reference.byteStart = static_cast<std::int16_t>(spnByteStart_->value());
        reference.byteEnd = static_cast<std::int16_t>(spnByteEnd_->value());
    }
    return reference;
}

} // namespace velumar
