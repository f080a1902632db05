#pragma once
// "Running and Completed Jobs": every job the server has run or is running,
// the selected job's summary and counters, killing and deleting jobs, logs
// and result files, and opening logs and result files. While a job it lists
// is active, the screen refreshes itself every two seconds.

#include "screens/job_queue_screen.h"

class QGroupBox;
class QTimer;

namespace velumar {

class JobResultFile;

class frmJobManagement_Running : public JobQueueScreen {
    Q_OBJECT
public:
    static constexpr int HelpContext = 51000;
    static constexpr int RefreshMilliseconds = 2000;
    // The summary's lines in one column, beside the buttons.
    static constexpr int OneSummaryColumn = 13;

    explicit frmJobManagement_Running(SessionState& state, QWidget* parent = nullptr);

    // Reloads the list unless the result file list is open.
    void Activate() override;

    void KillJob();
    void DeleteJob();
    void ViewLog();
    void DeleteLog();
    void GetResultFiles();
    void DeleteResultFiles();
    void ViewResultFile();
    void ExportResultFile();
    void CloseResultFiles();

    bool ResultFilesOpen() const { return filesOpen_; }
    // Whether the screen will refresh itself.
    bool Refreshing() const;
    // One tick of the self-refresh: reloads quietly, or stops when no listed
    // job is active or the screen is out of sight.
    void RefreshTick();

protected:
    void loadJobs(Grid& grid, qint32 selectId) override;
    const JobData* listedJob(qint32 id) const override;
    QList<SummaryLine> summaryOf(const JobData& job) const override;
    void setButtons() override;
    void hideEvent(QHideEvent* event) override;

private:
    void build();
    // After a change on the server: reload, the same job selected when it is still there.
    void reloadAfterChange(qint32 id);
    void scheduleRefresh();
    bool inSight() const;
    // The selected result file; "Can't find file." when its row has no file.
    const JobResultFile* selectedFile(bool tell);
    void setFileButtons();

    QPushButton* cmdKill_;
    QPushButton* cmdSummaryDelete_;
    QPushButton* cmdLogView_;
    QPushButton* cmdLogDelete_;
    QPushButton* cmdResultsView_;
    QPushButton* cmdResultsDelete_;
    QGroupBox* fraResultFiles_;
    Grid* vsfResultFiles_;
    QPushButton* cmdResultFileView_;
    QPushButton* cmdResultFileExport_;
    QPushButton* cmdCloseResultFiles_;
    QTimer* refresh_;

    qint32 filesJobId_ = -1;
    bool filesOpen_ = false;
};

} // namespace velumar
