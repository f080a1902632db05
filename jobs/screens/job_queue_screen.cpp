#include "screens/job_queue_screen.h"

#include "grid/grid.h"
#include "grid/grid_helpers.h"
#include "job_actions.h"
#include "job_manager.h"
#include "request_channel.h"
#include "screens/job_summary_panel.h"
#include "session/busy_state.h"
#include "session/session_state.h"

#include <QHeaderView>
#include <QPushButton>
#include <optional>

namespace velumar {

QPushButton* MakeJobButton(const char* name, const QString& caption, const QString& toolTip) {
    auto* button = new QPushButton(caption);
    button->setObjectName(QString::fromLatin1(name));
    button->setToolTip(toolTip);
    return button;
}

JobQueueScreen::JobQueueScreen(SessionState& state, const QString& screenName, int helpContextId,
                               const QStringList& headings, int summaryFirstColumn, QWidget* parent)
    : FunctionScreen(screenName, helpContextId, parent), state_(state),
      jobs_(state.manager<JobManager>()), vsf_(new Grid),
      summary_(new JobSummaryPanel(summaryFirstColumn)) {
    vsf_->setObjectName(QStringLiteral("vsf"));
    vsf_->SetHeadings(headings);
    vsf_->SetChannel(&state_.channel());
    vsf_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    vsf_->horizontalHeader()->setStretchLastSection(true);
    connect(vsf_, &QTableWidget::currentCellChanged, this,
            [this](int row, int, int previousRow, int) {
                if (row != previousRow)
                    currentRowChanged();
            });
    cmdRefresh_ = MakeJobButton("cmdRefresh", QStringLiteral("&Refresh"));
    connect(cmdRefresh_, &QPushButton::clicked, this, &JobQueueScreen::Refresh);
    summary_->hide();
}

qint32 JobQueueScreen::SelectedJobId() const {
    const GridSelection selection = GetGridSelection(*vsf_);
    return selection.row < 0 ? -1 : selection.rowData;
}

void JobQueueScreen::currentRowChanged() {
    setButtons();
    if (!reloading_)
        RebuildSummary();
}

void JobQueueScreen::Reload(qint32 selectId, bool quiet) {
    // A grid fill lets pending events run once; a refresh must not start inside another.
    if (reloading_)
        return;
    reloading_ = true;
    {
        std::optional<BusyGuard> busy;
        if (!quiet)
            busy.emplace(state_.busy());
        loadJobs(*vsf_, selectId);
    }
    // The operator always sees a job when there is one.
    if (SelectedJobId() < 0 && vsf_->rowCount() > 0)
        SelectGridRow(*vsf_, 0, -1);
    reloading_ = false;
    setButtons();
    RebuildSummary(quiet);
}

void JobQueueScreen::RebuildSummary(bool quiet) {
    const JobData* listed = listedJob(SelectedJobId());
    if (!listed || !MayViewJobOutput(*listed, state_.securityProfile())) {
        summary_->hide();
        return;
    }
    std::optional<JobData> job;
    {
        std::optional<BusyGuard> busy;
        if (!quiet)
            busy.emplace(state_.busy());
        job = jobs_.FetchJob(listed->Id());
    }
    if (!job) {
        summary_->hide();
        FocusList();
        return;
    }
    summary_->SetLines(summaryOf(*job));
    summary_->show();
}

void JobQueueScreen::FocusList() {
    if (vsf_->isEnabled())
        vsf_->setFocus();
    else
        cmdRefresh_->setFocus();
}

} // namespace velumar
