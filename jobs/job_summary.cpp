#include "job_summary.h"

#include "job_data.h"

namespace velumar {

namespace {

// Which of the last four lines of the running summary a job type shows.
struct RunningLines {
    bool recordsDeleted;
    bool errorCount;
    bool currentBulk;
    bool updateDatabase;
};

RunningLines runningLinesOf(JobType type) {
    switch (type) {
    case JobType::Scan:
        return {false, false, true, false};
    case JobType::DataChange:
        return {false, false, true, true};
    case JobType::IndexRecords:
        return {false, false, false, false};
    case JobType::Match:
        return {false, true, false, false};
    case JobType::AuthLoadMerge:
        return {true, true, true, false};
    case JobType::AuthLoadMatch:
    case JobType::AuthLoadReconcile:
    case JobType::AuthDbLoad:
        break;
    }
    return {false, true, true, false};
}

// Which groups of the scheduled summary a job type shows.
struct ScheduledLines {
    bool input; // record set, range start and end
    bool ruleSetGroup;
    bool saveRecordSet;
    bool flags; // update database, keyword index
};

ScheduledLines scheduledLinesOf(JobType type) {
    switch (type) {
    case JobType::Scan:
        return {true, true, true, false};
    case JobType::DataChange:
        return {true, true, true, true};
    case JobType::AuthLoadMatch:
    case JobType::AuthLoadMerge:
        return {false, true, false, false};
    case JobType::IndexRecords:
    case JobType::Match:
    case JobType::AuthLoadReconcile:
    case JobType::AuthDbLoad:
        break;
    }
    return {true, false, false, false};
}

QString number(qint32 n) {
    return QString::number(n);
}

} // namespace

QList<SummaryLine> RunningJobSummary(const JobData& job) {
    const RunningLines lines = runningLinesOf(job.Type());
    // A merge job counts its bulks, not its records.
    const bool bulks = job.Type() == JobType::AuthLoadMerge;
    return {
        {QStringLiteral("Job name:"), job.Name()},
        {QStringLiteral("Job type:"), job.TypeName()},
        {QStringLiteral("Job status:"), job.StatusName()},
        {QStringLiteral("Scheduled start:"), job.ScheduledStart()},
        {QStringLiteral("Actual start:"), job.ActualStart()},
        {QStringLiteral("Operator Id:"), job.OperatorId()},
        {QStringLiteral("Modify date:"), job.ModifyDate()},
        {bulks ? QStringLiteral("Bulks to process:") : QStringLiteral("Records to process:"),
         number(job.RecordsToProcess())},
        {bulks ? QStringLiteral("Bulks processed:") : QStringLiteral("Records processed:"),
         number(job.RecordsProcessed())},
        {QStringLiteral("Records deleted:"), number(job.RecordsDeleted()), lines.recordsDeleted},
        {QStringLiteral("Record error count:"), number(job.RecordErrorCount()), lines.errorCount},
        {QStringLiteral("Current bulk number:"), number(job.CurrentBulk()), lines.currentBulk},
        {QStringLiteral("Update database flag:"), job.UpdateDatabase(), lines.updateDatabase},
    };
}

QList<SummaryLine> ScheduledJobSummary(const JobData& job) {
    const ScheduledLines lines = scheduledLinesOf(job.Type());
    return {
        {QStringLiteral("Job type:"), job.TypeName()},
        {QStringLiteral("Scheduled start:"), job.ScheduledStart()},
        {QStringLiteral("Operator Id:"), job.OperatorId()},
        {QStringLiteral("Modify date:"), job.ModifyDate()},
        {QStringLiteral("Record type:"), job.RecordTypeName()},
        {QStringLiteral("Record set name:"), job.RecordSet(), lines.input},
        {QStringLiteral("Rule set group name:"), job.RuleSetId(), lines.ruleSetGroup},
        {QStringLiteral("Save record set name:"), job.SaveRecordSet(), lines.saveRecordSet},
        {QStringLiteral("Record range start:"), job.RangeStart(), lines.input},
        {QStringLiteral("Record range end:"), job.RangeEnd(), lines.input},
        {QStringLiteral("Update database flag:"), job.UpdateDatabase(), lines.flags},
        {QStringLiteral("Keyword index flag:"), job.KeywordIndex(), lines.flags},
    };
}

} // namespace velumar
