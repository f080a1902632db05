#include "copy_target_inputs.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QVBoxLayout>

namespace velumar {

CopyTargetInputs::CopyTargetInputs(QWidget* parent)
    : QWidget(parent), optNew_(new QRadioButton(QStringLiteral("To a &new field"))),
      optExisting_(new QRadioButton(QStringLiteral("To an e&xisting field"))),
      refTarget_(new MarcReferenceInputs(QStringLiteral("refTarget"))),
      chkHasAny_(new QCheckBox(QStringLiteral("Target has an&y of the subfields"))) {
    setObjectName(QStringLiteral("cpyTarget"));
    optNew_->setObjectName(QStringLiteral("optNew"));
    optExisting_->setObjectName(QStringLiteral("optExisting"));
    chkHasAny_->setObjectName(QStringLiteral("chkHasAny"));
    auto* group = new QButtonGroup(this);
    group->addButton(optNew_);
    group->addButton(optExisting_);
    optNew_->setChecked(true);

    auto* options = new QHBoxLayout;
    options->addWidget(optNew_);
    options->addWidget(optExisting_);
    options->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(options);
    layout->addWidget(refTarget_);
    layout->addWidget(chkHasAny_);
    connect(group, &QButtonGroup::buttonToggled, this, [this] { showChosen(); });
    connect(chkHasAny_, &QCheckBox::toggled, this, [this] { showChosen(); });
    showChosen();
}

void CopyTargetInputs::Configure(bool deprecatedForm) {
    deprecated_ = deprecatedForm;
    showChosen();
}

void CopyTargetInputs::showChosen() {
    const bool existing = Existing();
    optNew_->setVisible(!deprecated_);
    optExisting_->setVisible(!deprecated_);
    chkHasAny_->setVisible(existing);
    MarcReferenceParts parts;
    parts.tagCaption = QStringLiteral("T&arget field:");
    parts.subfieldCaption =
        existing ? QStringLiteral("Target su&bfields:") : QStringLiteral("Target su&bfield:");
    parts.indicators = deprecated_ || existing;
    parts.fieldOccurrence = existing && !chkHasAny_->isChecked();
    parts.severalSubfields = existing;
    parts.subfieldOccurrence = existing && !chkHasAny_->isChecked();
    refTarget_->Configure(parts);
}

void CopyTargetInputs::SetTarget(bool existing, const MarcReference& target, bool hasAny) {
    (existing ? optExisting_ : optNew_)->setChecked(true);
    chkHasAny_->setChecked(hasAny);
    showChosen();
    refTarget_->SetReference(target);
}

bool CopyTargetInputs::Existing() const {
    return !deprecated_ && optExisting_->isChecked();
}

MarcReference CopyTargetInputs::Target() const {
    return refTarget_->Reference();
}

bool CopyTargetInputs::HasAny() const {
    return Existing() && chkHasAny_->isChecked();
}

} // namespace velumar
