#include "submit/frm_job_management_submit_auth_load_reconcile.h"

#include "channel.h"
#include "job_manager.h"
#include "record_sets.h"
#include "session/session_state.h"
#include "submit/choice_lists.h"
#include "submit/input_widgets.h"

#include <QComboBox>
#include <QFormLayout>

namespace velumar {

namespace {

constexpr int Authority = 3;
constexpr int ReconcileRules = 6;

} // namespace

frmJobManagement_SubmitAuthLoadReconcile::frmJobManagement_SubmitAuthLoadReconcile(
    SessionState& state, QWidget* parent)
    : JobSubmitScreen(state, QStringLiteral("frmJobManagement_SubmitAuthLoadReconcile"),
                      HelpContext,
                      {QStringLiteral("Reconcile job added."),
                       QStringLiteral("Operator not authorized to submit reconcile job."),
                       QStringLiteral("Failed to submit reconcile job. Error code = ")},
                      RunChoice::Offered, parent),
      sets_(state.manager<RecordSets>()), cboRecordSet_(MakeList("cboRecordSet")),
      cboRuleSet_(MakeList("cboRuleSet")) {
    form()->addRow(QStringLiteral("Input Record Set:"), cboRecordSet_);
    form()->addRow(QStringLiteral("&Rule Set Group:"), cboRuleSet_);
    watch(cboRecordSet_);
    watch(cboRuleSet_);
    registration_ = sets_.Screens().Register([this](qint32) { refillRecordSets(); });
    finishLayout();
}

void frmJobManagement_SubmitAuthLoadReconcile::refillRecordSets() {
    RefillKeepingChoice(*cboRecordSet_,
                        [&] { sets_.FillRecordSetCombo(*cboRecordSet_, Authority); });
}

void frmJobManagement_SubmitAuthLoadReconcile::fillLists() {
    sets_.LoadRecordSets();
    refillRecordSets();
    RefillKeepingChoice(*cboRuleSet_,
                        [&] { jobs_.FillRuleSetGroupList(*cboRuleSet_, ReconcileRules); });
}

bool frmJobManagement_SubmitAuthLoadReconcile::inputsComplete() const {
    return ChosenId(*cboRecordSet_) >= 0 && ChosenId(*cboRuleSet_) >= 0;
}

void frmJobManagement_SubmitAuthLoadReconcile::addFields(orvane::Channel& channel) {
    channel.AddNumericField(QStringLiteral("JT"), 6);
    addName(channel);
    channel.AddNumericField(QStringLiteral("RSID"), ChosenId(*cboRecordSet_));
    channel.AddNumericField(QStringLiteral("RUID"), ChosenId(*cboRuleSet_));
    addStart(channel);
    channel.AddNumericField(QStringLiteral("RT"), Authority);
    addOperatorId(channel);
}

void frmJobManagement_SubmitAuthLoadReconcile::resetInputs() {
    cboRecordSet_->setCurrentIndex(-1);
    cboRuleSet_->setCurrentIndex(-1);
}

void frmJobManagement_SubmitAuthLoadReconcile::answered(qint16) {
    sets_.RefreshRecordSetScreens();
}

} // namespace velumar
