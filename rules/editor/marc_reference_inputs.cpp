#include "marc_reference_inputs.h"

#include "char_filter_validator.h"
#include "rule_template_tools.h"
#include "template_inputs.h"
#include "template_lists.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

namespace velumar {

namespace {

QComboBox* occurrenceList(const char* name) {
    auto* combo = new QComboBox;
    combo->setObjectName(QString::fromLatin1(name));
    rules::TemplateList list;
    rules::RuleTemplateTools::FillOccurrenceList(list, true, false);
    ShowTemplateList(*combo, list);
    combo->setCurrentIndex(0);
    return combo;
}

QLabel* label(const QString& text, QWidget* buddy) {
    auto* caption = new QLabel(text);
    caption->setBuddy(buddy);
    return caption;
}

} // namespace

MarcReferenceInputs::MarcReferenceInputs(const QString& name, QWidget* parent)
    : QWidget(parent), txtField_(MakeTagInput("txtField")),
      txtIndicator1_(MakeIndicatorInput("txtIndicator1")),
      txtIndicator2_(MakeIndicatorInput("txtIndicator2")),
      cboFieldOccurrence_(occurrenceList("cboFieldOccurrence")),
      txtSubfields_(MakeSubfieldInput("txtSubfields", false, true)),
      cboSubfieldOccurrence_(occurrenceList("cboSubfieldOccurrence")) {
    setObjectName(name);
    lblField_ = label(parts_.tagCaption, txtField_);
    lblIndicators_ = label(QStringLiteral("&Indicators:"), txtIndicator1_);
    lblFieldOccurrence_ = label(QStringLiteral("Occ&urrence:"), cboFieldOccurrence_);
    lblSubfields_ = label(parts_.subfieldCaption, txtSubfields_);
    lblSubfieldOccurrence_ = label(QStringLiteral("Occu&rrence:"), cboSubfieldOccurrence_);

    auto* indicators = new QHBoxLayout;
    indicators->setSpacing(2);
    indicators->addWidget(txtIndicator1_);
    indicators->addWidget(txtIndicator2_);
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(lblField_, 0, 0);
    grid->addWidget(txtField_, 0, 1);
    grid->addWidget(lblIndicators_, 0, 2);
    grid->addLayout(indicators, 0, 3);
    grid->addWidget(lblFieldOccurrence_, 0, 4);
    grid->addWidget(cboFieldOccurrence_, 0, 5);
    grid->addWidget(lblSubfields_, 1, 0);
    grid->addWidget(txtSubfields_, 1, 1, 1, 3);
    grid->addWidget(lblSubfieldOccurrence_, 1, 4);
    grid->addWidget(cboSubfieldOccurrence_, 1, 5);
    grid->setColumnStretch(6, 1);

    for (QLineEdit* edit : {txtField_, txtIndicator1_, txtIndicator2_, txtSubfields_})
        connect(edit, &QLineEdit::textChanged, this, &MarcReferenceInputs::Changed);
    for (QComboBox* combo : {cboFieldOccurrence_, cboSubfieldOccurrence_})
        connect(combo, &QComboBox::currentIndexChanged, this, &MarcReferenceInputs::Changed);
    Configure(parts_);
}

void MarcReferenceInputs::Configure(const MarcReferenceParts& parts) {
    parts_ = parts;
    lblField_->setText(parts.tagCaption);
    txtField_->setMaxLength(parts.tagLength);
    lblSubfields_->setText(parts.subfieldCaption);
    // The subfield input takes what this form allows: one code or several, the wildcard or not.
    txtSubfields_->setMaxLength(parts.severalSubfields ? 32767 : 1);
    txtSubfields_->setValidator(new CharFilterValidator(
        FromStd(rules::RuleTemplateTools::SubfieldCharFilter(parts.wildcard)),
        CharFilterValidator::Mode::Accept, txtSubfields_));
    if (!txtSubfields_->hasAcceptableInput())
        txtSubfields_->clear();
    const auto show = [](QWidget* a, QWidget* b, bool visible) {
        a->setVisible(visible);
        b->setVisible(visible);
    };
    show(lblIndicators_, txtIndicator1_, parts.indicators);
    txtIndicator2_->setVisible(parts.indicators);
    show(lblFieldOccurrence_, cboFieldOccurrence_, parts.fieldOccurrence);
    show(lblSubfields_, txtSubfields_, parts.subfields);
    show(lblSubfieldOccurrence_, cboSubfieldOccurrence_,
         parts.subfields && parts.subfieldOccurrence);
}

void MarcReferenceInputs::SetReference(const MarcReference& reference) {
    txtField_->setText(FromStd(reference.field).left(parts_.tagLength));
    txtIndicator1_->setText(ShownIndicator(reference.indicator1));
    txtIndicator2_->setText(ShownIndicator(reference.indicator2));
    SelectByItemData(*cboFieldOccurrence_, reference.fieldOccurrence);
    txtSubfields_->setText(ShownSubfields(reference.subfields, parts_.wildcard));
    if (!txtSubfields_->hasAcceptableInput())
        txtSubfields_->clear();
    SelectByItemData(*cboSubfieldOccurrence_, reference.subfieldOccurrence);
}

MarcReference MarcReferenceInputs::Reference() const {
    MarcReference reference;
    reference.field = ToStd(txtField_->text().toUpper());
    if (parts_.indicators) {
        reference.indicator1 = StoredIndicator(txtIndicator1_->text());
        reference.indicator2 = StoredIndicator(txtIndicator2_->text());
    }
    if (parts_.fieldOccurrence)
        reference.fieldOccurrence = SelectedItemData(*cboFieldOccurrence_);
    if (parts_.subfields) {
        reference.subfields = ToStd(txtSubfields_->text());
        if (parts_.subfieldOccurrence)
            reference.subfieldOccurrence = SelectedItemData(*cboSubfieldOccurrence_);
    }
    return reference;
}

} // namespace velumar
