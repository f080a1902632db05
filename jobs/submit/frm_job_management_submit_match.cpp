#include "submit/frm_job_management_submit_match.h"

#include "channel.h"
#include "files/file_system.h"
#include "platform/platform_services.h"
#include "record_sets.h"
#include "record_type_purpose.h"
#include "request_channel.h"
#include "session.h"
#include "session/session_state.h"
#include "submit/choice_lists.h"
#include "submit/input_widgets.h"
#include "submit/marc_source_fields.h"
#include "submit/save_set_choice.h"
#include "upload/frm_match_job_progress.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

namespace velumar {

namespace {

constexpr int FailedStatus = 5;
constexpr qint16 NameTaken = 4;
constexpr qint32 JobNameCode = 2;

} // namespace

frmJobManagement_SubmitMatch::frmJobManagement_SubmitMatch(SessionState& state, QWidget* parent)
    : JobSubmitScreen(state, QStringLiteral("frmJobManagement_SubmitMatch"), HelpContext,
                      {QString(),
                       QStringLiteral("Operator not authorized to submit a match records job."),
                       QStringLiteral("Failed to submit match records job. Error code = "), true},
                      RunChoice::None, parent),
      sets_(state.manager<RecordSets>()) {
    build();
    registration_ = sets_.Screens().Register([this](qint32) { refillRecordSets(); });
    finishLayout();
}

void frmJobManagement_SubmitMatch::build() {
    cmdSubmit_->setText(QStringLiteral("&Run Now..."));
    cboRecordType_ = MakeList("cboRecordType", 120);
    form()->addRow(QStringLiteral("Record &Type:"), cboRecordType_);
    source_ = new MarcSourceFields(state_, ImportKind::MarcRecords, *form(), this);
    fraSave_ = new SaveSetChoice(QStringLiteral("Save Matching Records Into"),
                                 QStringLiteral("&New Set:"));
    form()->addRow(fraSave_);
    connect(cboRecordType_, &QComboBox::currentIndexChanged, this,
            &frmJobManagement_SubmitMatch::refillRecordSets);
    watch(cboRecordType_);
    connect(source_, &MarcSourceFields::Changed, this,
            &frmJobManagement_SubmitMatch::inputsChanged);
    connect(fraSave_, &SaveSetChoice::Changed, this, &frmJobManagement_SubmitMatch::inputsChanged);
}

int frmJobManagement_SubmitMatch::recordType() const {
    return std::max(ChosenId(*cboRecordType_), 0);
}

void frmJobManagement_SubmitMatch::refillRecordSets() {
    fraSave_->Refill(sets_, state_.securityProfile(), recordType());
    inputsChanged();
}

void frmJobManagement_SubmitMatch::fillLists() {
    sets_.LoadRecordSets();
    const qint32 type = ChosenId(*cboRecordType_);
    {
        const QSignalBlocker quiet(cboRecordType_);
        sets_.FillRecordTypeList(*cboRecordType_, PurposeMatchJob);
        if (type > 0 && cboRecordType_->findData(type) >= 0)
            cboRecordType_->setCurrentIndex(cboRecordType_->findData(type));
    }
    refillRecordSets();
}

bool frmJobManagement_SubmitMatch::inputsComplete() const {
    return recordType() > 0 && source_->Complete() && fraSave_->Complete();
}

void frmJobManagement_SubmitMatch::addFields(orvane::Channel& channel) {
    channel.AddNumericField(QStringLiteral("JT"), 3);
    addName(channel);
    channel.AddNumericField(QStringLiteral("RT"), recordType());
    fraSave_->AddFields(channel);
    addOperatorId(channel);
}

void frmJobManagement_SubmitMatch::accepted(const SubmitAnswer& answer) {
    handOver(answer.jobId);
}

void frmJobManagement_SubmitMatch::handOver(qint32 jobId) {
    const qint32 saveSet = fraSave_->Chosen() == SaveSetChoice::ExistingSet
                               ? fraSave_->ChosenSetId()
                               : sets_.AddRecordSet(fraSave_->NewSetName(), recordType());
    if (saveSet == -1) {
        orvane::Channel& channel = state_.channel();
        channel.AddNumericField(QStringLiteral("ID"), jobId);
        channel.AddNumericField(QStringLiteral("JS"), FailedStatus);
        addOperatorId(channel);
        if (channel.SendRequest(QStringLiteral("SAVE_JOB")) != 0)
            tell(QStringLiteral("Failed to update job."), MessageIcon::Exclamation);
        return;
    }
    frmMatchJobProgress progress(state_, this);
    progress.Initialize(jobId, saveSet, recordType(), source_->SourceFile(),
                        source_->EncodingCode());
    progress.exec();
    resetAll();
}

void frmJobManagement_SubmitMatch::answered(qint16) {
    sets_.RefreshRecordSetScreens();
}

void frmJobManagement_SubmitMatch::focusAfter(const SubmitAnswer& answer) {
    if (answer.status == NameTaken && answer.nameCode != JobNameCode)
        fraSave_->NewSetBox()->setFocus();
    else
        JobSubmitScreen::focusAfter(answer);
}

void frmJobManagement_SubmitMatch::resetInputs() {
    cboRecordType_->setCurrentIndex(cboRecordType_->count() > 0 ? 0 : -1);
    source_->Reset();
    fraSave_->Reset();
}

} // namespace velumar
