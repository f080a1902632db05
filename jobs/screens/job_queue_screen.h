#pragma once
// What the two job queue screens share: the job grid (vsf) that keeps its
// sort and selection across reloads, "&Refresh", the "Job Summary" frame
// filled from a fresh fetch of the selected job, and where the focus goes.

#include "job_summary.h"
#include "main_window/function_screen.h"

#include <QStringList>
#include <optional>

class QPushButton;

namespace velumar {

class Grid;
class JobData;
class JobManager;
class JobSummaryPanel;
class SessionState;

class JobQueueScreen : public FunctionScreen {
    Q_OBJECT
public:
    // The selected job's id; -1 when no data row is current.
    qint32 SelectedJobId() const;
    // "&Refresh": the list again, the selected job still selected.
    void Refresh() { Reload(SelectedJobId()); }

protected:
    // `summaryFirstColumn`: how many summary lines go in its first column.
    JobQueueScreen(SessionState& state, const QString& screenName, int helpContextId,
                   const QStringList& headings, int summaryFirstColumn, QWidget* parent);

    // The job list reloaded keeping sort and selection (`selectId` when
    // given), then the buttons and the summary; under the busy state unless
    // `quiet` (a refresh the operator did not ask for).
    void Reload(qint32 selectId = -1, bool quiet = false);
    // Fetches the selected job for the summary when the operator may see its
    // output; hidden otherwise. Moves the focus when the job has gone.
    void RebuildSummary(bool quiet = false);
    // To the grid, or to "&Refresh" when the grid is disabled.
    void FocusList();
    bool Reloading() const { return reloading_; }

    // The screen's own list: its request, its collection, its summary, its buttons.
    virtual void loadJobs(Grid& grid, qint32 selectId) = 0;
    virtual const JobData* listedJob(qint32 id) const = 0;
    virtual QList<SummaryLine> summaryOf(const JobData& job) const = 0;
    // The buttons, and the grid, enabled for the selected job and the mode.
    virtual void setButtons() = 0;

    SessionState& state_;
    JobManager& jobs_;
    Grid* vsf_;
    QPushButton* cmdRefresh_;
    JobSummaryPanel* summary_;

private:
    void currentRowChanged();

    bool reloading_ = false;
};

// A push button with its control name, caption and tool tip.
QPushButton* MakeJobButton(const char* name, const QString& caption,
                           const QString& toolTip = QString());

} // namespace velumar
