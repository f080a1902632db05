#include "screens/frm_job_management_running.h"

#include "files/file_system.h"
#include "grid/grid.h"
#include "grid/grid_helpers.h"
#include "job_actions.h"
#include "job_manager.h"
#include "main_window/frm_main.h"
#include "platform/platform_services.h"
#include "preferences/preferences.h"
#include "request_channel.h"
#include "screens/job_summary_panel.h"
#include "security/security_profile.h"
#include "session/session_state.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace velumar {

namespace {

// Only Yes goes on.
bool confirmed(PlatformServices& platform, const char* text) {
    Message question;
    question.text = QString::fromLatin1(text);
    question.icon = MessageIcon::Question;
    question.buttons = MessageButtons::YesNo;
    return platform.ShowMessage(question) == MessageAnswer::Yes;
}

constexpr char KillQuestion[] =
    "The job will be stopped, with no way to restart it. Are you sure you want to do this?";
constexpr char DeleteLogQuestion[] =
    "The log file from this job will be permanently deleted, with no way to retrieve it. Are you "
    "sure you want to do this?";
constexpr char DeleteResultsQuestion[] =
    "The result files from this job will be permanently deleted, with no way to retrieve them. "
    "Are you sure you want to do this?";
constexpr char DeleteJobQuestion[] =
    "The summary files from this job will be permanently deleted, with no way to retrieve them. "
    "Are you sure you want to do this?";

} // namespace

frmJobManagement_Running::frmJobManagement_Running(SessionState& state, QWidget* parent)
    : JobQueueScreen(state, QStringLiteral("frmJobManagement_Running"), HelpContext,
                     {QStringLiteral("Date / Time"), QStringLiteral("Status"),
                      QStringLiteral("Job Type"), QStringLiteral("Update DB?"),
                      QStringLiteral("Job Name")},
                     OneSummaryColumn, parent),
      refresh_(new QTimer(this)) {
    refresh_->setInterval(RefreshMilliseconds);
    connect(refresh_, &QTimer::timeout, this, &frmJobManagement_Running::RefreshTick);
    build();
    setButtons();
    setFileButtons();
}

void frmJobManagement_Running::build() {
    cmdRefresh_->setToolTip(QStringLiteral("Refresh running / completed jobs list"));
    cmdKill_ = MakeJobButton("cmdKill", QStringLiteral("&Kill Job"));
    cmdSummaryDelete_ = MakeJobButton(
        "cmdSummaryDelete", QStringLiteral("Delete &Job"),
        QStringLiteral("Deletes the selected job and all related log and result files."));
    cmdLogView_ = MakeJobButton("cmdLogView", QStringLiteral("&View Log"));
    cmdLogDelete_ = MakeJobButton("cmdLogDelete", QStringLiteral("Delete &Log"));
    cmdResultsView_ = MakeJobButton("cmdResultsView", QStringLiteral("&Get Result Files"));
    cmdResultsDelete_ = MakeJobButton("cmdResultsDelete", QStringLiteral("&Delete Result Files"));
    connect(cmdKill_, &QPushButton::clicked, this, &frmJobManagement_Running::KillJob);
    connect(cmdSummaryDelete_, &QPushButton::clicked, this, &frmJobManagement_Running::DeleteJob);
    connect(cmdLogView_, &QPushButton::clicked, this, &frmJobManagement_Running::ViewLog);
    connect(cmdLogDelete_, &QPushButton::clicked, this, &frmJobManagement_Running::DeleteLog);
    connect(cmdResultsView_, &QPushButton::clicked, this,
            &frmJobManagement_Running::GetResultFiles);
    connect(cmdResultsDelete_, &QPushButton::clicked, this,
            &frmJobManagement_Running::DeleteResultFiles);

    auto* buttons = new QVBoxLayout;
    for (QPushButton* button : {cmdRefresh_, cmdKill_, cmdSummaryDelete_})
        buttons->addWidget(button);
    buttons->addSpacing(10);
    buttons->addWidget(cmdLogView_);
    buttons->addWidget(cmdLogDelete_);
    buttons->addSpacing(10);
    buttons->addWidget(cmdResultsView_);
    buttons->addWidget(cmdResultsDelete_);
    buttons->addStretch(1);

    fraResultFiles_ = new QGroupBox(QStringLiteral("Job Result Files"));
    fraResultFiles_->setObjectName(QStringLiteral("fraResultFiles"));
    vsfResultFiles_ = new Grid;
    vsfResultFiles_->setObjectName(QStringLiteral("vsfResultFiles"));
    // The first column holds the type code, the key's first half; the row
    // data holds the file id, its second.
    vsfResultFiles_->SetHeadings(
        {QString(), QStringLiteral("File Type"), QStringLiteral("File Name")});
    vsfResultFiles_->SetChannel(&state_.channel());
    vsfResultFiles_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    vsfResultFiles_->horizontalHeader()->setStretchLastSection(true);
    connect(vsfResultFiles_, &QTableWidget::currentCellChanged, this, [this] { setFileButtons(); });
    cmdResultFileView_ = MakeJobButton("cmdResultFileView", QStringLiteral("&View"));
    cmdResultFileExport_ = MakeJobButton("cmdResultFileExport", QStringLiteral("E&xport"));
    cmdCloseResultFiles_ = MakeJobButton("cmdCloseResultFiles", QStringLiteral("&Close List"));
    connect(cmdResultFileView_, &QPushButton::clicked, this,
            &frmJobManagement_Running::ViewResultFile);
    connect(cmdResultFileExport_, &QPushButton::clicked, this,
            &frmJobManagement_Running::ExportResultFile);
    connect(cmdCloseResultFiles_, &QPushButton::clicked, this,
            &frmJobManagement_Running::CloseResultFiles);
    auto* fileButtons = new QVBoxLayout;
    for (QPushButton* button : {cmdResultFileView_, cmdResultFileExport_, cmdCloseResultFiles_})
        fileButtons->addWidget(button);
    fileButtons->addStretch(1);
    auto* files = new QHBoxLayout(fraResultFiles_);
    files->addWidget(vsfResultFiles_, 1);
    files->addLayout(fileButtons);
    fraResultFiles_->hide();

    // The list takes the whole width; the job's details and the buttons share the rest.
    auto* details = new QHBoxLayout;
    details->addWidget(summary_, 1);
    details->addWidget(fraResultFiles_, 1);
    details->addLayout(buttons);
    Body()->addWidget(vsf_, 2);
    Body()->addSpacing(6);
    Body()->addLayout(details, 3);
}

void frmJobManagement_Running::Activate() {
    if (filesOpen_)
        return;
    Reload();
    FocusList();
}

void frmJobManagement_Running::loadJobs(Grid& grid, qint32 selectId) {
    jobs_.LoadRunningJobs(grid, selectId);
    scheduleRefresh();
}

const JobData* frmJobManagement_Running::listedJob(qint32 id) const {
    return jobs_.RunningJob(id);
}

QList<SummaryLine> frmJobManagement_Running::summaryOf(const JobData& job) const {
    return RunningJobSummary(job);
}

void frmJobManagement_Running::setButtons() {
    const bool list = !filesOpen_;
    vsf_->setEnabled(list && vsf_->rowCount() > 0);
    cmdRefresh_->setEnabled(list);
    const RunningJobActions actions =
        list ? RunningActionsFor(listedJob(SelectedJobId()), state_.securityProfile())
             : RunningJobActions{};
    cmdKill_->setEnabled(actions.kill);
    cmdSummaryDelete_->setEnabled(actions.deleteJob);
    cmdLogView_->setEnabled(actions.viewLog);
    cmdLogDelete_->setEnabled(actions.deleteLog);
    cmdResultsView_->setEnabled(actions.getResultFiles);
    cmdResultsDelete_->setEnabled(actions.deleteResultFiles);
}

void frmJobManagement_Running::reloadAfterChange(qint32 id) {
    Reload(id);
    FocusList();
}

void frmJobManagement_Running::KillJob() {
    const qint32 id = SelectedJobId();
    if (id < 0 || !cmdKill_->isEnabled() || !confirmed(state_.platform(), KillQuestion))
        return;
    jobs_.StopJob(id);
    reloadAfterChange(id);
}

void frmJobManagement_Running::DeleteJob() {
    const qint32 id = SelectedJobId();
    if (id < 0 || !cmdSummaryDelete_->isEnabled() ||
        !confirmed(state_.platform(), DeleteJobQuestion))
        return;
    jobs_.RemoveJob(id);
    reloadAfterChange(id);
}

void frmJobManagement_Running::ViewLog() {
    const qint32 id = SelectedJobId();
    if (id >= 0 && cmdLogView_->isEnabled())
        jobs_.ShowJobLog(id);
}

void frmJobManagement_Running::DeleteLog() {
    const qint32 id = SelectedJobId();
    if (id < 0 || !cmdLogDelete_->isEnabled() || !confirmed(state_.platform(), DeleteLogQuestion))
        return;
    jobs_.RemoveJobLog(id);
    reloadAfterChange(id);
}

void frmJobManagement_Running::DeleteResultFiles() {
    const qint32 id = SelectedJobId();
    if (id < 0 || !cmdResultsDelete_->isEnabled() ||
        !confirmed(state_.platform(), DeleteResultsQuestion))
        return;
    jobs_.RemoveJobResultFiles(id);
    reloadAfterChange(id);
}

void frmJobManagement_Running::GetResultFiles() {
    const qint32 id = SelectedJobId();
    if (id < 0 || !cmdResultsView_->isEnabled())
        return;
    KeyedCollection<JobResultFile>& files = jobs_.ResultFiles();
    if (!jobs_.FetchResultFileList(id, files))
        return;
    filesOpen_ = true;
    filesJobId_ = id;
    refresh_->stop();
    vsfResultFiles_->ClearRows();
    for (int i = 0; i < files.Count(); ++i) {
        const JobResultFile& file = files.At(i);
        vsfResultFiles_->AddRow(
            {QString::number(file.FileType()), file.TypeName(), file.FileName()}, file.FileId());
    }
    ReapplyGridSort(*vsfResultFiles_);
    SelectGridRow(*vsfResultFiles_, 0, -1);
    summary_->hide();
    fraResultFiles_->show();
    setButtons();
    setFileButtons();
    vsfResultFiles_->setFocus();
}

const JobResultFile* frmJobManagement_Running::selectedFile(bool tell) {
    const GridSelection selection = GetGridSelection(*vsfResultFiles_);
    if (selection.row < 0)
        return nullptr;
    const QString key = vsfResultFiles_->TextMatrix(selection.row, 0) + QLatin1Char('|') +
                        QString::number(selection.rowData);
    const JobResultFile* file = jobs_.ResultFiles().Item(key);
    if (!file && tell) {
        Message message;
        message.text = QStringLiteral("Can't find file.");
        message.icon = MessageIcon::Exclamation;
        state_.platform().ShowMessage(message);
    }
    return file;
}

void frmJobManagement_Running::setFileButtons() {
    const bool selected = filesOpen_ && GetGridSelection(*vsfResultFiles_).row >= 0;
    const JobResultFile* file = selected ? selectedFile(false) : nullptr;
    cmdResultFileView_->setEnabled(selected);
    cmdResultFileExport_->setEnabled(file && file->HoldsRecords());
    cmdCloseResultFiles_->setEnabled(filesOpen_);
}

void frmJobManagement_Running::ViewResultFile() {
    if (!cmdResultFileView_->isEnabled())
        return;
    if (const JobResultFile* file = selectedFile(true))
        jobs_.FetchResultFile(filesJobId_, *file, QString());
}

void frmJobManagement_Running::ExportResultFile() {
    if (!cmdResultFileExport_->isEnabled())
        return;
    const JobResultFile* file = selectedFile(true);
    if (!file || !file->HoldsRecords())
        return;
    // The dialog may let events run; the file is copied before it opens.
    const JobResultFile chosen = *file;
    FileSystem files(state_.platform(), &state_.securityProfile());
    const QString path = files.GetFileNameForExport(
        ExportKind::MarcRecords, state_.preferences().BinaryMarcRecDir(), chosen.FileName());
    if (path.isEmpty())
        return;
    jobs_.FetchResultFile(filesJobId_, chosen, path);
}

void frmJobManagement_Running::CloseResultFiles() {
    if (!filesOpen_)
        return;
    filesOpen_ = false;
    fraResultFiles_->hide();
    setButtons();
    setFileButtons();
    RebuildSummary();
    scheduleRefresh();
    FocusList();
}

bool frmJobManagement_Running::inSight() const {
    if (!isVisible())
        return false;
    return !state_.hasMainWindow() || state_.mainWindow().FrontScreen() == this;
}

void frmJobManagement_Running::scheduleRefresh() {
    bool active = false;
    const KeyedCollection<JobData>& listed = jobs_.RunningJobs();
    for (int i = 0; i < listed.Count() && !active; ++i)
        active = listed.At(i).IsActive();
    if (active && !filesOpen_ && inSight()) {
        if (!refresh_->isActive())
            refresh_->start();
    } else {
        refresh_->stop();
    }
}

bool frmJobManagement_Running::Refreshing() const {
    return refresh_->isActive();
}

void frmJobManagement_Running::RefreshTick() {
    refresh_->stop();
    if (filesOpen_ || !inSight())
        return;
    Reload(-1, true);
}

void frmJobManagement_Running::hideEvent(QHideEvent* event) {
    refresh_->stop();
    JobQueueScreen::hideEvent(event);
}

} // namespace velumar
