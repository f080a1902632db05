#pragma once
// The job manager: one per run, shared by every job screen. Lists the
// running/completed jobs and the queue, fetches, kills, reschedules and
// deletes jobs, deletes logs and result files, and fetches logs and result
// files into files the operator's viewer opens. Failures are told to the
// operator here; callers only see the result.

#include "common/keyed_collection.h"
#include "job_data.h"
#include "job_failures.h"
#include "job_file_display.h"
#include "job_result_file.h"

#include <optional>

class QComboBox;
class QDateEdit;
class QTimeEdit;

namespace orvane {
class Channel;
}

namespace velumar {

class Grid;
class SessionState;

class JobManager {
public:
    explicit JobManager(SessionState& state);

    // "GET_JOBS" / "GET_SCHEDULED_JOBS": the collection and the grid
    // refilled, keeping the grid's sort; `selectId`, or else the job
    // selected before, is selected again. Empty after a failure.
    void LoadRunningJobs(Grid& grid, qint32 selectId = -1);
    void LoadScheduledJobs(Grid& grid, qint32 selectId = -1);
    const KeyedCollection<JobData>& RunningJobs() const { return running_; }
    const KeyedCollection<JobData>& ScheduledJobs() const { return scheduled_; }
    // Null, and nothing told, when the collection has no job of that id.
    const JobData* RunningJob(qint32 id) const { return running_.Item(QString::number(id)); }
    const JobData* ScheduledJob(qint32 id) const { return scheduled_.Item(QString::number(id)); }

    // "GET_JOB": the job as the server has it now; none on failure.
    std::optional<JobData> FetchJob(qint32 id);
    // Each true on success.
    bool StopJob(qint32 id);
    bool RemoveJob(qint32 id);
    bool RemoveJobLog(qint32 id);
    bool RemoveJobResultFiles(qint32 id);
    // "SS" goes only with a start; without one the server starts the job now.
    bool RescheduleJob(qint32 id, const QString& start);

    // The log in a temporary file, opened in the operator's viewer.
    void ShowJobLog(qint32 id);
    // Empties `files`, then fills it keyed by ResultFileKey; true when the
    // job has files.
    bool FetchResultFileList(qint32 id, KeyedCollection<JobResultFile>& files);
    // The files of the last job whose list a screen fetched.
    KeyedCollection<JobResultFile>& ResultFiles() { return resultFiles_; }
    // Blank `savePath`: the text form, opened in the viewer. Otherwise the
    // records as ISO 2709, written to the path and not opened.
    void FetchResultFile(qint32 id, const JobResultFile& file, const QString& savePath);

    // The list cleared, then one entry per rule set group of the type, its
    // id as item data and its requirement text ("PN") under RequirementRole.
    void FillRuleSetGroupList(QComboBox& list, int ruleType);
    static constexpr int RequirementRole = Qt::UserRole + 1;
    // The list cleared, then one entry per job of the type with result
    // files (of `fileType` when given), its id as item data.
    void FillJobsWithFiles(QComboBox& list, int jobType, std::optional<int> fileType = {});

    // The current date and time, and five minutes later, as start times are written.
    static QString NowText();
    static QString DefaultStartText();
    // Puts DefaultStartText into a screen's run date and run time boxes.
    static void InitRunTime(QDateEdit& date, QTimeEdit& time);

    void ShowText(const QString& text, const QString& path) { display_.ShowText(text, path); }
    void DisplayFile(const QString& path) { display_.DisplayFile(path); }
    // The temporary files written so far; deleted when the manager ends.
    const QStringList& TempFiles() const { return display_.TempFiles(); }

private:
    using Reader = void (JobData::*)(orvane::Channel&);
    using RowBuilder = void (JobData::*)(Grid&) const;
    void load(Grid& grid, qint32 selectId, const char* code, JobOperation operation,
              KeyedCollection<JobData>& jobs, Reader read, RowBuilder addRow);
    // Adds "OI", which goes last, and sends.
    qint16 send(const char* code);
    // "ID" and "OI": the requests about one job that answer nothing.
    bool sendForJob(const char* code, JobOperation operation, qint32 id);
    // True on status 0; otherwise tells the operation's failure text.
    bool succeeded(JobOperation operation, qint16 status);
    void tell(const QString& text, bool information = false);

    SessionState& state_;
    KeyedCollection<JobData> running_;
    KeyedCollection<JobData> scheduled_;
    KeyedCollection<JobResultFile> resultFiles_;
    JobFileDisplay display_;
};

} // namespace velumar
