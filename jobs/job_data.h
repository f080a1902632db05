#pragma once
// One job as the server reports it: a snapshot, refreshed only by the next
// load or fetch. Times are shown as they come, never parsed.

#include "job_types.h"

#include <QString>

namespace orvane {
class Channel;
}

namespace velumar {

class Grid;

class JobData {
public:
    // Fills the job from the channel's current answer record: the fields
    // every job has, then those of its type.
    void ReadJobRecord(orvane::Channel& channel);
    // The queue's short form: "ID", "NM", "JT", "SS", "RT".
    void ReadScheduledRecord(orvane::Channel& channel);

    // Actual start, status, type, update flag, name; row data the id.
    void AddRunningRow(Grid& grid) const;
    // Scheduled start, type, name; row data the id.
    void AddScheduledRow(Grid& grid) const;

    qint32 Id() const { return id_; }
    // The id as decimal text: the job's key in a collection.
    QString IdText() const { return QString::number(id_); }
    const QString& Name() const { return name_; }
    JobType Type() const { return type_; }
    int Status() const { return status_; }
    bool HasLog() const { return hasLog_; }
    bool HasResults() const { return hasResults_; }
    const QString& ScheduledStart() const { return scheduledStart_; }
    const QString& ActualStart() const { return actualStart_; }
    const QString& OperatorId() const { return operatorId_; }
    const QString& ModifyDate() const { return modifyDate_; }
    qint32 RecordsToProcess() const { return recordsToProcess_; }
    qint32 RecordsProcessed() const { return recordsProcessed_; }
    qint32 RecordErrorCount() const { return recordErrorCount_; }
    qint32 RecordsDeleted() const { return recordsDeleted_; }
    qint32 CurrentBulk() const { return currentBulk_; }
    const QString& UpdateDatabase() const { return updateDatabase_; }
    const QString& KeywordIndex() const { return keywordIndex_; }
    // As received.
    qint32 RecordTypeCode() const { return recordTypeCode_; }
    // 1, 2 or 3; 0 for any other code.
    int RecordType() const { return recordType_; }
    const QString& RecordSet() const { return recordSet_; }
    const QString& RuleSetId() const { return ruleSetId_; }
    const QString& RangeEnd() const { return rangeEnd_; }
    const QString& RangeStart() const { return rangeStart_; }
    const QString& SaveRecordSet() const { return saveRecordSet_; }

    QString StatusName() const { return JobStatusName(status_); }
    QString TypeName() const { return JobTypeName(type_); }
    // "Bibliographic", "Holdings", "Authority"; empty for another code.
    QString RecordTypeName() const;
    bool IsActive() const { return IsActiveStatus(status_); }

    void SetRecordType(qint32 code);

private:
    // "SRS", or else a new set's "RSN" marked " [new]".
    void readSaveRecordSet(orvane::Channel& channel);

    qint32 id_ = 0;
    QString name_;
    JobType type_ = JobType::Scan;
    int status_ = 0;
    bool hasLog_ = false;
    bool hasResults_ = false;
    QString scheduledStart_;
    QString actualStart_;
    QString operatorId_;
    QString modifyDate_;
    qint32 recordsToProcess_ = 0;
    qint32 recordsProcessed_ = 0;
    qint32 recordErrorCount_ = 0;
    qint32 recordsDeleted_ = 0;
    qint32 currentBulk_ = 0;
    QString updateDatabase_;
    QString keywordIndex_;
    qint32 recordTypeCode_ = 0;
    int recordType_ = 0;
    QString recordSet_;
    QString ruleSetId_;
    QString rangeEnd_;
    QString rangeStart_;
    QString saveRecordSet_;
};

} // namespace velumar
