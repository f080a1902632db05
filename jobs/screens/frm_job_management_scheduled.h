#pragma once
// "Scheduled Jobs": the jobs waiting in the server's queue, the selected
// job's parameters, a new run time for a queued job, and removing jobs
// from the queue.

#include "screens/job_queue_screen.h"

class QDateEdit;
class QGroupBox;
class QRadioButton;
class QTimeEdit;

namespace velumar {

class frmJobManagement_Scheduled : public JobQueueScreen {
    Q_OBJECT
public:
    static constexpr int HelpContext = 50900;
    // The summary's lines of every job type (type to record type) beside those of the job's own.
    static constexpr int FirstSummaryColumn = 5;

    explicit frmJobManagement_Scheduled(SessionState& state, QWidget* parent = nullptr);

    // Reloads the queue unless a run time is being edited.
    void Activate() override;
    bool EditInProgress() const override { return editing_; }

    void Edit();
    void Remove();
    void Save();
    void Cancel();

private:
    void build();
    void loadJobs(Grid& grid, qint32 selectId) override;
    const JobData* listedJob(qint32 id) const override;
    QList<SummaryLine> summaryOf(const JobData& job) const override;
    void setButtons() override;
    void setSaveButton();
    // The operator typed a date or time: it is meant for later.
    void runTimeTyped();

    QPushButton* cmdEdit_;
    QPushButton* cmdRemove_;
    QGroupBox* fraEdit_;
    QRadioButton* optRunNow_;
    QRadioButton* optRunLater_;
    QDateEdit* fpdRunDate_;
    QTimeEdit* fpdRunTime_;
    QPushButton* cmdSave_;
    QPushButton* cmdCancel_;

    bool editing_ = false;
    qint32 editId_ = -1;
};

} // namespace velumar
