#include "submit/frm_job_management_submit_auth_load_merge.h"

#include "channel.h"
#include "job_manager.h"
#include "submit/choice_lists.h"
#include "submit/input_widgets.h"

#include <QComboBox>
#include <QFormLayout>

namespace velumar {

namespace {

constexpr int LoadMatchJobs = 4;
constexpr int MergeConfigurations = 4;

} // namespace

frmJobManagement_SubmitAuthLoadMerge::frmJobManagement_SubmitAuthLoadMerge(SessionState& state,
                                                                           QWidget* parent)
    : JobSubmitScreen(state, QStringLiteral("frmJobManagement_SubmitAuthLoadMerge"), HelpContext,
                      {QStringLiteral("Auth load merge job added."),
                       QStringLiteral("Operator not authorized to submit an auth load merge job."),
                       QStringLiteral("Failed to submit auth load merge job. Error code = ")},
                      RunChoice::Offered, parent),
      cboSource_(MakeList("cboSource")), cboRuleSet_(MakeList("cboRuleSet")) {
    cboSource_->setToolTip(QStringLiteral(
        "The name of the Auth Load Match job who's files will be used as input for this job."));
    form()->addRow(QStringLiteral("Match Job's &Name:"), cboSource_);
    form()->addRow(QStringLiteral("&Merge Configuration:"), cboRuleSet_);
    watch(cboSource_);
    watch(cboRuleSet_);
    finishLayout();
}

void frmJobManagement_SubmitAuthLoadMerge::fillSources() {
    RefillKeepingChoice(*cboSource_, [&] { jobs_.FillJobsWithFiles(*cboSource_, LoadMatchJobs); });
}

void frmJobManagement_SubmitAuthLoadMerge::fillLists() {
    fillSources();
    RefillKeepingChoice(*cboRuleSet_,
                        [&] { jobs_.FillRuleSetGroupList(*cboRuleSet_, MergeConfigurations); });
}

bool frmJobManagement_SubmitAuthLoadMerge::inputsComplete() const {
    return ChosenId(*cboSource_) >= 0 && ChosenId(*cboRuleSet_) >= 0;
}

void frmJobManagement_SubmitAuthLoadMerge::addFields(orvane::Channel& channel) {
    channel.AddNumericField(QStringLiteral("JT"), 5);
    addName(channel);
    channel.AddNumericField(QStringLiteral("SJID"), ChosenId(*cboSource_));
    channel.AddNumericField(QStringLiteral("RUID"), ChosenId(*cboRuleSet_));
    addStart(channel);
    channel.AddNumericField(QStringLiteral("RT"), 3);
    addOperatorId(channel);
}

void frmJobManagement_SubmitAuthLoadMerge::resetInputs() {
    cboSource_->setCurrentIndex(-1);
    cboRuleSet_->setCurrentIndex(-1);
}

} // namespace velumar
