#include "submit/save_set_choice.h"

#include "channel.h"
#include "record_sets.h"
#include "security/security_profile.h"
#include "submit/choice_lists.h"
#include "submit/option_group.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QRadioButton>

namespace velumar {

SaveSetChoice::SaveSetChoice(const QString& title, const QString& newSetCaption, QWidget* parent)
    : QGroupBox(title, parent), optSave_(new OptionGroup("optSave", this)),
      cboSaveRecordSet_(new QComboBox), fpNewRecordSet_(new QLineEdit) {
    setObjectName(QStringLiteral("fraSave"));
    cboSaveRecordSet_->setObjectName(QStringLiteral("cboSaveRecordSet"));
    cboSaveRecordSet_->setMinimumWidth(260);
    cboSaveRecordSet_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    fpNewRecordSet_->setObjectName(QStringLiteral("fpNewRecordSet"));
    fpNewRecordSet_->setMinimumWidth(260);
    auto* grid = new QGridLayout(this);
    grid->addWidget(optSave_->Add(ExistingSet, QStringLiteral("E&xisting Set:")), 0, 0);
    grid->addWidget(cboSaveRecordSet_, 0, 1, Qt::AlignLeft);
    grid->addWidget(optSave_->Add(NewSet, newSetCaption), 1, 0);
    grid->addWidget(fpNewRecordSet_, 1, 1, Qt::AlignLeft);
    grid->setColumnStretch(2, 1);
    // Choosing a set or typing a name chooses its option.
    connect(cboSaveRecordSet_, &QComboBox::activated, this,
            [this] { optSave_->Choose(ExistingSet); });
    connect(fpNewRecordSet_, &QLineEdit::textEdited, this, [this] { optSave_->Choose(NewSet); });
    connect(optSave_, &OptionGroup::Changed, this, &SaveSetChoice::Changed);
    connect(cboSaveRecordSet_, &QComboBox::currentIndexChanged, this, &SaveSetChoice::Changed);
    connect(fpNewRecordSet_, &QLineEdit::textChanged, this, &SaveSetChoice::Changed);
}

void SaveSetChoice::Refill(const RecordSets& sets, const SecurityProfile& profile, int recordType) {
    RefillKeepingChoice(*cboSaveRecordSet_,
                        [&] { sets.FillRecordSetCombo(*cboSaveRecordSet_, recordType); });
    const bool existing = recordType > 0 && profile.RecordSetUpdate(recordType);
    const bool fresh = recordType > 0 && profile.RecordSetAdd(recordType);
    optSave_->SetOptionEnabled(ExistingSet, existing);
    cboSaveRecordSet_->setEnabled(existing);
    optSave_->SetOptionEnabled(NewSet, fresh);
    fpNewRecordSet_->setEnabled(fresh);
}

int SaveSetChoice::Chosen() const {
    return optSave_->Chosen();
}

qint32 SaveSetChoice::ChosenSetId() const {
    return ChosenId(*cboSaveRecordSet_);
}

QString SaveSetChoice::NewSetName() const {
    return fpNewRecordSet_->text().trimmed();
}

bool SaveSetChoice::Complete() const {
    switch (Chosen()) {
    case ExistingSet:
        return ChosenSetId() >= 0;
    case NewSet:
        return !NewSetName().isEmpty();
    default:
        return false;
    }
}

void SaveSetChoice::AddFields(orvane::Channel& channel) const {
    if (Chosen() == ExistingSet)
        channel.AddNumericField(QStringLiteral("SRS"), ChosenSetId());
    else
        channel.AddField(QStringLiteral("RSN"), NewSetName());
}

void SaveSetChoice::Reset() {
    optSave_->Clear();
    cboSaveRecordSet_->setCurrentIndex(-1);
    fpNewRecordSet_->clear();
}

} // namespace velumar
