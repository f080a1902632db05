#include "submit/frm_job_management_submit_index.h"

#include "channel.h"
#include "platform/platform_services.h"
#include "record_sets.h"
#include "record_type_purpose.h"
#include "session/session_state.h"
#include "submit/choice_lists.h"
#include "submit/input_widgets.h"
#include "submit/option_group.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>

namespace velumar {

frmJobManagement_SubmitIndex::frmJobManagement_SubmitIndex(SessionState& state, QWidget* parent)
    : JobSubmitScreen(state, QStringLiteral("frmJobManagement_SubmitIndex"), HelpContext,
                      {QStringLiteral("Index records job added."),
                       QStringLiteral("Operator not authorized to submit an index records job."),
                       QStringLiteral("Failed to submit index records job. Error code = "), true},
                      RunChoice::Offered, parent),
      sets_(state.manager<RecordSets>()) {
    build();
    finishLayout();
}

void frmJobManagement_SubmitIndex::build() {
    cboRecordType_ = MakeList("cboRecordType", 120);
    form()->addRow(QStringLiteral("Record &Type:"), cboRecordType_);
    auto* fraIndex = new QGroupBox(QStringLiteral("Index"));
    fraIndex->setObjectName(QStringLiteral("fraIndex"));
    optIndex_ = new OptionGroup("optIndex", this);
    cboRecordSet_ = MakeList("cboRecordSet");
    fpIndexFrom_ = MakeIdBox("fpIndexFrom", this);
    fpIndexTo_ = MakeIdBox("fpIndexTo", this);
    auto* grid = new QGridLayout(fraIndex);
    grid->addWidget(optIndex_->Add(RecordSet, QStringLiteral("&Record Set:")), 0, 0);
    grid->addWidget(cboRecordSet_, 0, 1, Qt::AlignLeft);
    grid->addWidget(optIndex_->Add(Range, QStringLiteral("Range &of Records:")), 1, 0);
    grid->addLayout(RangeRow(fpIndexFrom_, fpIndexTo_), 1, 1);
    grid->setColumnStretch(2, 1);
    form()->addRow(fraIndex);

    connect(cboRecordType_, &QComboBox::currentIndexChanged, this,
            &frmJobManagement_SubmitIndex::refillRecordSets);
    connect(cboRecordSet_, &QComboBox::activated, this, [this] { optIndex_->Choose(RecordSet); });
    for (QLineEdit* box : {fpIndexFrom_, fpIndexTo_}) {
        connect(box, &QLineEdit::textEdited, this, [this](const QString& text) {
            if (!text.isEmpty())
                optIndex_->Choose(Range);
        });
        watch(box);
    }
    watch(cboRecordType_);
    watch(cboRecordSet_);
    watch(optIndex_);
}

int frmJobManagement_SubmitIndex::recordType() const {
    return std::max(ChosenId(*cboRecordType_), 0);
}

void frmJobManagement_SubmitIndex::refillRecordSets() {
    RefillKeepingChoice(*cboRecordSet_,
                        [&] { sets_.FillRecordSetCombo(*cboRecordSet_, recordType()); });
}

void frmJobManagement_SubmitIndex::fillLists() {
    sets_.LoadRecordSets();
    {
        const QSignalBlocker quiet(cboRecordType_);
        sets_.FillRecordTypeList(*cboRecordType_, PurposeIndexJob);
    }
    refillRecordSets();
}

bool frmJobManagement_SubmitIndex::inputsComplete() const {
    if (recordType() == 0)
        return false;
    switch (optIndex_->Chosen()) {
    case RecordSet:
        return ChosenId(*cboRecordSet_) >= 0;
    case Range:
        return !fpIndexFrom_->text().isEmpty() && !fpIndexTo_->text().isEmpty();
    default:
        return false;
    }
}

bool frmJobManagement_SubmitIndex::checkInputs() {
    if (!optIndex_->IsChosen(Range))
        return true;
    const qint64 from = fpIndexFrom_->text().toLongLong();
    const qint64 to = fpIndexTo_->text().toLongLong();
    if (from > to) {
        tell(QStringLiteral("Index range is out of order."), MessageIcon::Exclamation);
        return false;
    }
    if (to - from + 1 > MaxRangeRecords) {
        tell(QStringLiteral("Index range must be no more than 20000."), MessageIcon::None);
        return false;
    }
    return true;
}

void frmJobManagement_SubmitIndex::addFields(orvane::Channel& channel) {
    channel.AddNumericField(QStringLiteral("JT"), 2);
    addName(channel);
    addStart(channel);
    channel.AddNumericField(QStringLiteral("RT"), recordType());
    if (optIndex_->IsChosen(RecordSet)) {
        channel.AddNumericField(QStringLiteral("RSID"), ChosenId(*cboRecordSet_));
    } else {
        channel.AddField(QStringLiteral("RRS"), fpIndexFrom_->text());
        channel.AddField(QStringLiteral("RRE"), fpIndexTo_->text());
    }
    addOperatorId(channel);
}

void frmJobManagement_SubmitIndex::resetInputs() {
    cboRecordType_->setCurrentIndex(cboRecordType_->count() > 0 ? 0 : -1);
    optIndex_->Clear();
    cboRecordSet_->setCurrentIndex(-1);
    fpIndexFrom_->clear();
    fpIndexTo_->clear();
}

} // namespace velumar
