#include "submit/frm_job_management_submit_auth_load_match.h"

#include "channel.h"
#include "files/file_system.h"
#include "job_manager.h"
#include "preferences/preferences.h"
#include "record_sets.h"
#include "session/session_state.h"
#include "submit/choice_lists.h"
#include "submit/input_widgets.h"
#include "submit/marc_source_fields.h"
#include "upload/frm_auth_load_match_job_progress.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>

namespace velumar {

namespace {

constexpr int Authority = 3;
constexpr int LoadMatchConfigurations = 3;

} // namespace

frmJobManagement_SubmitAuthLoadMatch::frmJobManagement_SubmitAuthLoadMatch(SessionState& state,
                                                                           QWidget* parent)
    : JobSubmitScreen(state, QStringLiteral("frmJobManagement_SubmitAuthLoadMatch"), HelpContext,
                      {QString(),
                       QStringLiteral("Operator not authorized to submit an auth load match job."),
                       QStringLiteral("Failed to submit auth load match job. Error code = ")},
                      RunChoice::Offered, parent),
      source_(new MarcSourceFields(state, ImportKind::AuthorityRecords, *form(), this)),
      cboRuleSet_(MakeList("cboRuleSet")),
      chkAdd035WhenCreatingNewAuthRecords_(
          new QCheckBox(QStringLiteral("&Add 035 field when creating new Auth records"))) {
    chkAdd035WhenCreatingNewAuthRecords_->setObjectName(
        QStringLiteral("chkAdd035WhenCreatingNewAuthRecords"));
    form()->addRow(QStringLiteral("&Match Configuration:"), cboRuleSet_);
    form()->addRow(chkAdd035WhenCreatingNewAuthRecords_);
    connect(source_, &MarcSourceFields::Changed, this,
            &frmJobManagement_SubmitAuthLoadMatch::inputsChanged);
    watch(cboRuleSet_);
    resetInputs();
    finishLayout();
}

void frmJobManagement_SubmitAuthLoadMatch::fillLists() {
    RefillKeepingChoice(*cboRuleSet_,
                        [&] { jobs_.FillRuleSetGroupList(*cboRuleSet_, LoadMatchConfigurations); });
}

bool frmJobManagement_SubmitAuthLoadMatch::inputsComplete() const {
    return source_->Complete() && ChosenId(*cboRuleSet_) >= 0;
}

void frmJobManagement_SubmitAuthLoadMatch::addFields(orvane::Channel& channel) {
    channel.AddNumericField(QStringLiteral("JT"), 4);
    addName(channel);
    channel.AddNumericField(QStringLiteral("RT"), Authority);
    channel.AddNumericField(QStringLiteral("RUID"), ChosenId(*cboRuleSet_));
    addStart(channel);
    addOperatorId(channel);
    channel.AddBoolField(QStringLiteral("ADD035"),
                         chkAdd035WhenCreatingNewAuthRecords_->isChecked());
}

void frmJobManagement_SubmitAuthLoadMatch::accepted(const SubmitAnswer& answer) {
    {
        frmAuthLoadMatchJobProgress progress(state_, this);
        progress.Initialize(answer.jobId, Authority, source_->SourceFile(),
                            source_->EncodingCode());
        progress.exec();
    }
    resetAll();
    state_.manager<RecordSets>().RefreshRecordSetScreens();
}

void frmJobManagement_SubmitAuthLoadMatch::resetInputs() {
    source_->Reset();
    cboRuleSet_->setCurrentIndex(-1);
    chkAdd035WhenCreatingNewAuthRecords_->setChecked(state_.preferences().Add035ToNewAuthRecords());
}

} // namespace velumar
