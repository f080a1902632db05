#pragma once
// Where a copy goes: into a new field (tag, and a subfield code when the
// copy takes another), or into an existing field found by a target line
// among the rule's conditions (tag, indicators, occurrence, and the
// subfields it has, or has any of). The older copy form names a tag,
// indicators and a subfield code.

#include "marc_reference_inputs.h"

class QCheckBox;
class QRadioButton;

namespace velumar {

class CopyTargetInputs : public QWidget {
    Q_OBJECT
public:
    explicit CopyTargetInputs(QWidget* parent = nullptr);

    // The older form has no choice of new or existing.
    void Configure(bool deprecatedForm);
    void SetTarget(bool existing, const MarcReference& target, bool hasAny);
    bool Existing() const;
    MarcReference Target() const;
    bool HasAny() const;

private:
    void showChosen();

    bool deprecated_ = false;
    QRadioButton* optNew_;
    QRadioButton* optExisting_;
    MarcReferenceInputs* refTarget_;
    QCheckBox* chkHasAny_;
};

} // namespace velumar
