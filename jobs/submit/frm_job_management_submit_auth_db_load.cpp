#include "submit/frm_job_management_submit_auth_db_load.h"

#include "channel.h"
#include "job_manager.h"
#include "submit/choice_lists.h"
#include "submit/input_widgets.h"

#include <QComboBox>
#include <QFormLayout>

namespace velumar {

namespace {

constexpr int LoadMatchJobs = 4;
constexpr int NoMatchFiles = 9;

} // namespace

frmJobManagement_SubmitAuthDbLoad::frmJobManagement_SubmitAuthDbLoad(SessionState& state,
                                                                     QWidget* parent)
    : JobSubmitScreen(state, QStringLiteral("frmJobManagement_SubmitAuthDbLoad"), HelpContext,
                      {QStringLiteral("Auth DB Load job added."),
                       QStringLiteral("Operator not authorized to submit an Auth DB Load job."),
                       QStringLiteral("Failed to submit Auth DB Load job. Error code = ")},
                      RunChoice::Offered, parent),
      cboSource_(MakeList("cboSource")) {
    form()->addRow(QStringLiteral("Source Job &Identifier:"), cboSource_);
    watch(cboSource_);
    finishLayout();
}

void frmJobManagement_SubmitAuthDbLoad::fillLists() {
    // Only match jobs that left records without a match have anything to load.
    RefillKeepingChoice(*cboSource_,
                        [&] { jobs_.FillJobsWithFiles(*cboSource_, LoadMatchJobs, NoMatchFiles); });
}

bool frmJobManagement_SubmitAuthDbLoad::inputsComplete() const {
    return ChosenId(*cboSource_) >= 0;
}

void frmJobManagement_SubmitAuthDbLoad::addFields(orvane::Channel& channel) {
    channel.AddNumericField(QStringLiteral("JT"), 7);
    addName(channel);
    channel.AddNumericField(QStringLiteral("SJID"), ChosenId(*cboSource_));
    addStart(channel);
    channel.AddNumericField(QStringLiteral("RT"), 3);
    addOperatorId(channel);
}

void frmJobManagement_SubmitAuthDbLoad::resetInputs() {
    cboSource_->setCurrentIndex(-1);
}

} // namespace velumar
