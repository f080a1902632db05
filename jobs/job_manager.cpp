#include "job_manager.h"

#include "channel.h"
#include "date_time_conversion.h"
#include "grid/grid.h"
#include "grid/grid_helpers.h"
#include "platform/platform_services.h"
#include "request_channel.h"
#include "session.h"
#include "session/busy_state.h"
#include "session/session_state.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDateTime>
#include <QTimeEdit>

namespace velumar {

namespace {

const QString Id = QStringLiteral("ID");

// Rule set group lists answer 55 when a server has nothing to list.
constexpr qint16 NothingToList = 55;

} // namespace

JobManager::JobManager(SessionState& state) : state_(state), display_(state) {}

void JobManager::tell(const QString& text, bool information) {
    Message message;
    message.text = text;
    message.icon = information ? MessageIcon::Information : MessageIcon::Exclamation;
    state_.platform().ShowMessage(message);
}

qint16 JobManager::send(const char* code) {
    orvane::Channel& channel = state_.channel();
    channel.AddField(QStringLiteral("OI"), state_.session().OperatorId());
    return channel.SendRequest(QString::fromLatin1(code));
}

bool JobManager::succeeded(JobOperation operation, qint16 status) {
    if (status == 0)
        return true;
    const QString text = JobFailureText(operation, status);
    if (!text.isEmpty())
        tell(text);
    return false;
}

bool JobManager::sendForJob(const char* code, JobOperation operation, qint32 id) {
    state_.channel().AddNumericField(Id, id);
    return succeeded(operation, send(code));
}

void JobManager::load(Grid& grid, qint32 selectId, const char* code, JobOperation operation,
                      KeyedCollection<JobData>& jobs, Reader read, RowBuilder addRow) {
    const qint16 status = send(code);
    // The operator has been told the session ended; the jobs are still there.
    if (orvane::SessionLost(status))
        return;
    jobs.Clear();
    if (selectId == -1)
        selectId = GetGridSelection(grid).rowData;
    grid.setUpdatesEnabled(false);
    grid.ClearRows();
    orvane::Channel& channel = state_.channel();
    if (succeeded(operation, status)) {
        while (channel.NextRecord(Id)) {
            JobData job;
            (job.*read)(channel);
            if (jobs.Add(job.IdText(), job))
                (job.*addRow)(grid);
        }
    }
    // The sort marker outlives the rows, so the operator's order comes back.
    if (grid.rowCount() > 0)
        ReapplyGridSort(grid);
    SelectGridRow(grid, -1, selectId);
    grid.setUpdatesEnabled(true);
}

void JobManager::LoadRunningJobs(Grid& grid, qint32 selectId) {
    load(grid, selectId, "GET_JOBS", JobOperation::LoadRunningJobs, running_,
         &JobData::ReadJobRecord, &JobData::AddRunningRow);
}

void JobManager::LoadScheduledJobs(Grid& grid, qint32 selectId) {
    load(grid, selectId, "GET_SCHEDULED_JOBS", JobOperation::LoadScheduledJobs, scheduled_,
         &JobData::ReadScheduledRecord, &JobData::AddScheduledRow);
}

std::optional<JobData> JobManager::FetchJob(qint32 id) {
    if (!sendForJob("GET_JOB", JobOperation::FetchJob, id))
        return std::nullopt;
    orvane::Channel& channel = state_.channel();
    if (!channel.NextRecord(Id))
        return std::nullopt;
    JobData job;
    job.ReadJobRecord(channel);
    return job;
}

bool JobManager::StopJob(qint32 id) {
    return sendForJob("KILL_JOB", JobOperation::StopJob, id);
}

bool JobManager::RemoveJob(qint32 id) {
    return sendForJob("DELETE_JOB", JobOperation::RemoveJob, id);
}

bool JobManager::RemoveJobLog(qint32 id) {
    return sendForJob("DELETE_JOB_LOG", JobOperation::RemoveJobLog, id);
}

bool JobManager::RemoveJobResultFiles(qint32 id) {
    return sendForJob("DELETE_JOB_RESULT_FILES", JobOperation::RemoveJobResultFiles, id);
}

bool JobManager::RescheduleJob(qint32 id, const QString& start) {
    orvane::Channel& channel = state_.channel();
    channel.AddNumericField(Id, id);
    if (!start.isEmpty())
        channel.AddField(QStringLiteral("SS"), start);
    return succeeded(JobOperation::RescheduleJob, send("SAVE_JOB"));
}

void JobManager::ShowJobLog(qint32 id) {
    orvane::Channel& channel = state_.channel();
    qint16 status = 0;
    bool found = false;
    QString log;
    {
        const BusyGuard busy(state_.busy());
        channel.AddNumericField(Id, id);
        status = send("GET_JOB_LOG");
        found = status == 0 && channel.CountRecords(QStringLiteral("LC")) > 0;
        if (found)
            log = channel.GetField(QStringLiteral("LC"));
    }
    if (!succeeded(JobOperation::ShowJobLog, status))
        return;
    if (!found) {
        tell(QStringLiteral("No log found for this job."), true);
        return;
    }
    ShowText(log, QString());
}

bool JobManager::FetchResultFileList(qint32 id, KeyedCollection<JobResultFile>& files) {
    files.Clear();
    orvane::Channel& channel = state_.channel();
    channel.AddNumericField(Id, id);
    if (!succeeded(JobOperation::FetchResultFileList, send("GET_JOB_RESULT_FILE_LIST")))
        return false;
    const QString leader = QStringLiteral("FI");
    if (channel.CountRecords(leader) == 0) {
        tell(QStringLiteral("No files found for this job."), true);
        return false;
    }
    while (channel.NextRecord(leader)) {
        JobResultFile file;
        file.ReadResultFileRecord(channel);
        files.Add(file.ResultFileKey(), file);
    }
    return files.Count() > 0;
}

void JobManager::FetchResultFile(qint32 id, const JobResultFile& file, const QString& savePath) {
    orvane::Channel& channel = state_.channel();
    const bool save = !savePath.trimmed().isEmpty();
    qint16 status = 0;
    QString content;
    {
        const BusyGuard busy(state_.busy());
        channel.AddNumericField(Id, id);
        channel.AddNumericField(QStringLiteral("FI"), file.FileId());
        channel.AddNumericField(QStringLiteral("FT"), file.FileType());
        if (save)
            channel.AddField(QStringLiteral("FMT"), QStringLiteral("B"));
        status = send("GET_JOB_RESULT_FILE");
        content = channel.GetField(QStringLiteral("FC"));
    }
    if (!succeeded(JobOperation::FetchResultFile, status))
        return;
    // ISO 2709 comes one character per octet; its lengths count octets, so
    // the file gets exactly those and nothing added.
    if (save)
        display_.SaveOctets(content, savePath);
    else
        ShowText(content, QString());
}

void JobManager::FillRuleSetGroupList(QComboBox& list, int ruleType) {
    list.clear();
    orvane::Channel& channel = state_.channel();
    channel.AddNumericField(QStringLiteral("RT"), ruleType);
    qint16 status = send("GET_RULE_SETS");
    if (status == NothingToList)
        status = 0;
    if (!succeeded(JobOperation::FillRuleSetGroupList, status))
        return;
    while (channel.NextRecord(Id)) {
        list.addItem(channel.GetField(QStringLiteral("NM")), channel.GetNumericField(Id));
        list.setItemData(list.count() - 1, channel.GetField(QStringLiteral("PN")), RequirementRole);
    }
}

void JobManager::FillJobsWithFiles(QComboBox& list, int jobType, std::optional<int> fileType) {
    list.clear();
    orvane::Channel& channel = state_.channel();
    channel.AddNumericField(QStringLiteral("JT"), jobType);
    if (fileType)
        channel.AddNumericField(QStringLiteral("JFT"), *fileType);
    if (!succeeded(JobOperation::FillJobsWithFiles, send("GET_JOBS_WITH_FILES")))
        return;
    while (channel.NextRecord(Id))
        list.addItem(channel.GetField(QStringLiteral("NM")), channel.GetNumericField(Id));
}

QString JobManager::NowText() {
    return orvane::DateTimeToText(QDateTime::currentDateTime());
}

QString JobManager::DefaultStartText() {
    return orvane::DateTimeToText(QDateTime::currentDateTime().addSecs(5 * 60));
}

void JobManager::InitRunTime(QDateEdit& date, QTimeEdit& time) {
    const auto start = orvane::TextToDateTime(DefaultStartText());
    if (!start)
        return;
    date.setDate(start->date);
    time.setTime(start->time);
}

} // namespace velumar
