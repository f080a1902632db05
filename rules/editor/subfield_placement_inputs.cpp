#include "subfield_placement_inputs.h"

#include "rule_template_tools.h"
#include "template_inputs.h"
#include "template_lists.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

namespace velumar {

SubfieldPlacementInputs::SubfieldPlacementInputs(QWidget* parent)
    : QWidget(parent), optAtEnd_(new QRadioButton(QStringLiteral("At the e&nd"))),
      optAfter_(new QRadioButton(QStringLiteral("A&fter"))),
      optBefore_(new QRadioButton(QStringLiteral("&Before"))),
      txtOrderSubfield_(MakeSubfieldInput("txtOrderSubfield", false, false)),
      cboOrderOccurrence_(new QComboBox) {
    setObjectName(QStringLiteral("plcSubfield"));
    optAtEnd_->setObjectName(QStringLiteral("optAtEnd"));
    optAfter_->setObjectName(QStringLiteral("optAfter"));
    optBefore_->setObjectName(QStringLiteral("optBefore"));
    cboOrderOccurrence_->setObjectName(QStringLiteral("cboOrderOccurrence"));
    rules::TemplateList occurrences;
    rules::RuleTemplateTools::FillOccurrenceList(occurrences, false, true);
    ShowTemplateList(*cboOrderOccurrence_, occurrences);
    cboOrderOccurrence_->setCurrentIndex(0);
    auto* group = new QButtonGroup(this);
    for (QRadioButton* option : {optAtEnd_, optAfter_, optBefore_})
        group->addButton(option);
    optAtEnd_->setChecked(true);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(QStringLiteral("Place:")));
    for (QRadioButton* option : {optAtEnd_, optAfter_, optBefore_})
        layout->addWidget(option);
    auto* lblSubfield = new QLabel(QStringLiteral("su&bfield"));
    lblSubfield->setBuddy(txtOrderSubfield_);
    layout->addWidget(cboOrderOccurrence_);
    layout->addWidget(lblSubfield);
    layout->addWidget(txtOrderSubfield_);
    layout->addStretch(1);
    connect(group, &QButtonGroup::buttonToggled, this, [this] { enableChosen(); });
    enableChosen();
}

void SubfieldPlacementInputs::enableChosen() {
    const bool placed = !optAtEnd_->isChecked();
    txtOrderSubfield_->setEnabled(placed);
    cboOrderOccurrence_->setEnabled(placed);
}

void SubfieldPlacementInputs::SetPlacement(const SubfieldPlacement& placement) {
    if (placement.subfield.empty())
        optAtEnd_->setChecked(true);
    else if (placement.keyword == "before")
        optBefore_->setChecked(true);
    else
        optAfter_->setChecked(true);
    txtOrderSubfield_->setText(ShownSubfields(placement.subfield, false));
    // A placement read without an occurrence means the first.
    SelectByItemData(*cboOrderOccurrence_, placement.occurrence == "99" ? 99 : 0);
}

SubfieldPlacement SubfieldPlacementInputs::Placement() const {
    if (optAtEnd_->isChecked() || txtOrderSubfield_->text().isEmpty())
        return {};
    return {optBefore_->isChecked() ? "before" : "after", ToStd(txtOrderSubfield_->text()),
            std::to_string(std::max(0, SelectedItemData(*cboOrderOccurrence_)))};
}

} // namespace velumar
