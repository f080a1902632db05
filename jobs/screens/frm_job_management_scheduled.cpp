#include "screens/frm_job_management_scheduled.h"

#include "common/messages.h"
#include "date_time_conversion.h"
#include "grid/grid.h"
#include "grid/grid_helpers.h"
#include "job_actions.h"
#include "job_manager.h"
#include "screens/job_summary_panel.h"
#include "session/busy_state.h"
#include "session/session_state.h"

#include <QButtonGroup>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTimeEdit>
#include <QVBoxLayout>
#include <optional>

namespace velumar {

frmJobManagement_Scheduled::frmJobManagement_Scheduled(SessionState& state, QWidget* parent)
    : JobQueueScreen(
          state, QStringLiteral("frmJobManagement_Scheduled"), HelpContext,
          {QStringLiteral("Scheduled"), QStringLiteral("Job Type"), QStringLiteral("Job Name")},
          FirstSummaryColumn, parent) {
    build();
    setButtons();
}

void frmJobManagement_Scheduled::build() {
    cmdRefresh_->setToolTip(QStringLiteral("Refresh job queue"));
    cmdEdit_ =
        MakeJobButton("cmdEdit", QStringLiteral("&Edit"), QStringLiteral("Change job run time."));
    cmdRemove_ = MakeJobButton("cmdRemove", QStringLiteral("Re&move"),
                               QStringLiteral("Remove job from queue."));
    connect(cmdEdit_, &QPushButton::clicked, this, &frmJobManagement_Scheduled::Edit);
    connect(cmdRemove_, &QPushButton::clicked, this, &frmJobManagement_Scheduled::Remove);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* button : {cmdRefresh_, cmdEdit_, cmdRemove_})
        buttons->addWidget(button);
    buttons->addStretch(1);
    auto* top = new QHBoxLayout;
    top->addWidget(vsf_, 1);
    top->addLayout(buttons);

    fraEdit_ = new QGroupBox(QStringLiteral("Edit Job"));
    fraEdit_->setObjectName(QStringLiteral("fraEdit"));
    optRunNow_ = new QRadioButton(QStringLiteral("No&w"));
    optRunNow_->setObjectName(QStringLiteral("optRun_0"));
    optRunLater_ = new QRadioButton(QStringLiteral("&Later:"));
    optRunLater_->setObjectName(QStringLiteral("optRun_1"));
    auto* optRun = new QButtonGroup(fraEdit_);
    optRun->addButton(optRunNow_, 0);
    optRun->addButton(optRunLater_, 1);
    fpdRunDate_ = new QDateEdit;
    fpdRunDate_->setObjectName(QStringLiteral("fpdRunDate"));
    fpdRunDate_->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    fpdRunDate_->setCalendarPopup(true);
    fpdRunTime_ = new QTimeEdit;
    fpdRunTime_->setObjectName(QStringLiteral("fpdRunTime"));
    fpdRunTime_->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    cmdSave_ = MakeJobButton("cmdSave", QStringLiteral("&Save"));
    cmdCancel_ = MakeJobButton("cmdCancel", QStringLiteral("&Cancel"));
    cmdSave_->setDefault(true);
    connect(optRun, &QButtonGroup::idToggled, this, [this] { setSaveButton(); });
    connect(fpdRunDate_, &QDateEdit::dateChanged, this, [this] { runTimeTyped(); });
    connect(fpdRunTime_, &QTimeEdit::timeChanged, this, [this] { runTimeTyped(); });
    connect(cmdSave_, &QPushButton::clicked, this, &frmJobManagement_Scheduled::Save);
    connect(cmdCancel_, &QPushButton::clicked, this, &frmJobManagement_Scheduled::Cancel);
    auto* edit = new QGridLayout(fraEdit_);
    edit->addWidget(optRunNow_, 0, 0);
    edit->addWidget(optRunLater_, 1, 0);
    edit->addWidget(fpdRunDate_, 1, 1);
    edit->addWidget(fpdRunTime_, 1, 2);
    edit->setColumnStretch(3, 1);
    auto* editButtons = new QHBoxLayout;
    editButtons->addStretch(1);
    editButtons->addWidget(cmdSave_);
    editButtons->addWidget(cmdCancel_);
    edit->addLayout(editButtons, 2, 0, 1, 4);
    fraEdit_->hide();

    Body()->addLayout(top, 1);
    Body()->addSpacing(6);
    Body()->addWidget(summary_);
    Body()->addWidget(fraEdit_);
}

void frmJobManagement_Scheduled::Activate() {
    if (editing_) {
        fpdRunDate_->setFocus();
        return;
    }
    Reload();
    FocusList();
}

void frmJobManagement_Scheduled::loadJobs(Grid& grid, qint32 selectId) {
    jobs_.LoadScheduledJobs(grid, selectId);
}

const JobData* frmJobManagement_Scheduled::listedJob(qint32 id) const {
    return jobs_.ScheduledJob(id);
}

QList<SummaryLine> frmJobManagement_Scheduled::summaryOf(const JobData& job) const {
    return ScheduledJobSummary(job);
}

void frmJobManagement_Scheduled::setButtons() {
    const bool list = !editing_;
    vsf_->setEnabled(list && vsf_->rowCount() > 0);
    cmdRefresh_->setEnabled(list);
    const JobData* job = listedJob(SelectedJobId());
    const bool mayChange = list && job && MayChangeQueuedJob(*job, state_.securityProfile());
    cmdEdit_->setEnabled(mayChange);
    cmdRemove_->setEnabled(mayChange);
}

void frmJobManagement_Scheduled::setSaveButton() {
    cmdSave_->setEnabled(optRunNow_->isChecked() ||
                         (optRunLater_->isChecked() && fpdRunDate_->date().isValid() &&
                          fpdRunTime_->time().isValid()));
}

void frmJobManagement_Scheduled::runTimeTyped() {
    if (fpdRunDate_->date().isValid() && fpdRunTime_->time().isValid())
        optRunLater_->setChecked(true);
    setSaveButton();
}

void frmJobManagement_Scheduled::Remove() {
    const GridSelection selection = GetGridSelection(*vsf_);
    const JobData* job = listedJob(SelectedJobId());
    if (!job || !cmdRemove_->isEnabled())
        return;
    const qint32 id = job->Id();
    const QString kind = QStringLiteral("the ") + vsf_->TextMatrix(selection.row, 1).toLower() +
                         QStringLiteral(" job");
    if (!ConfirmDelete(state_.platform(), kind, job->Name()))
        return;
    {
        const BusyGuard busy(state_.busy());
        jobs_.RemoveJob(id);
    }
    Reload();
    FocusList();
}

void frmJobManagement_Scheduled::Edit() {
    const qint32 id = SelectedJobId();
    if (id < 0 || !cmdEdit_->isEnabled())
        return;
    std::optional<JobData> job;
    {
        const BusyGuard busy(state_.busy());
        job = jobs_.FetchJob(id);
    }
    if (!job)
        return;
    editing_ = true;
    editId_ = id;
    summary_->hide();
    setButtons();
    {
        // Setting the boxes is not the operator typing.
        const QSignalBlocker quietDate(fpdRunDate_);
        const QSignalBlocker quietTime(fpdRunTime_);
        if (const auto start = orvane::TextToDateTime(job->ScheduledStart())) {
            fpdRunDate_->setDate(start->date);
            fpdRunTime_->setTime(start->time);
        } else {
            JobManager::InitRunTime(*fpdRunDate_, *fpdRunTime_);
        }
    }
    // The job has a start time already: it runs later unless the operator says now.
    optRunLater_->setChecked(true);
    setSaveButton();
    fraEdit_->show();
    fpdRunDate_->setFocus();
}

void frmJobManagement_Scheduled::Save() {
    if (!editing_ || !cmdSave_->isEnabled())
        return;
    const QString start = optRunNow_->isChecked()
                              ? QString()
                              : orvane::DateTimeToText(fpdRunDate_->date(), fpdRunTime_->time());
    if (!jobs_.RescheduleJob(editId_, start)) {
        fpdRunDate_->setFocus();
        return;
    }
    Cancel();
}

void frmJobManagement_Scheduled::Cancel() {
    if (!editing_)
        return;
    editing_ = false;
    setButtons();
    fraEdit_->hide();
    Reload(editId_);
    FocusList();
}

} // namespace velumar
