#include "job_data.h"

#include "channel.h"
#include "grid/grid.h"
#include "record_types.h"

namespace velumar {

namespace {

QString text(orvane::Channel& channel, const char* key) {
    return channel.GetField(QString::fromLatin1(key));
}

qint32 number(orvane::Channel& channel, const char* key) {
    return channel.GetNumericField(QString::fromLatin1(key));
}

} // namespace

void JobData::ReadJobRecord(orvane::Channel& channel) {
    // The server answers the id as a number; a decimal text reads the same.
    id_ = number(channel, "ID");
    name_ = text(channel, "NM");
    type_ = JobTypeOf(number(channel, "JT"));
    status_ = number(channel, "JS");
    hasLog_ = channel.GetBoolField(QStringLiteral("HL"));
    hasResults_ = channel.GetBoolField(QStringLiteral("HR"));
    scheduledStart_ = text(channel, "SS");
    actualStart_ = text(channel, "AS");
    operatorId_ = text(channel, "OI");
    modifyDate_ = text(channel, "MD");
    recordsToProcess_ = number(channel, "RTP");
    recordsProcessed_ = number(channel, "RP");
    recordErrorCount_ = number(channel, "EC");
    recordsDeleted_ = number(channel, "RD");
    currentBulk_ = number(channel, "CB");
    updateDatabase_ = text(channel, "UP");
    recordSet_ = text(channel, "RSID");
    SetRecordType(number(channel, "RT"));

    switch (type_) {
    case JobType::Scan:
        rangeEnd_ = text(channel, "RRE");
        rangeStart_ = text(channel, "RRS");
        ruleSetId_ = text(channel, "SID");
        readSaveRecordSet(channel);
        break;
    case JobType::DataChange:
        keywordIndex_ = text(channel, "KI");
        ruleSetId_ = text(channel, "RUID");
        updateDatabase_ = text(channel, "UP");
        break;
    case JobType::IndexRecords:
        rangeEnd_ = text(channel, "RRE");
        rangeStart_ = text(channel, "RRS");
        // An index job names its input set here, not under "RSID".
        recordSet_ = text(channel, "RSN");
        break;
    case JobType::Match:
        readSaveRecordSet(channel);
        break;
    case JobType::AuthLoadMatch:
    case JobType::AuthLoadMerge:
        ruleSetId_ = text(channel, "RUID");
        break;
    case JobType::AuthLoadReconcile:
    case JobType::AuthDbLoad:
        break;
    }
}

void JobData::readSaveRecordSet(orvane::Channel& channel) {
    saveRecordSet_ = text(channel, "SRS");
    if (!saveRecordSet_.isEmpty())
        return;
    const QString newSet = text(channel, "RSN");
    if (!newSet.isEmpty())
        saveRecordSet_ = newSet + QStringLiteral(" [new]");
}

void JobData::ReadScheduledRecord(orvane::Channel& channel) {
    id_ = number(channel, "ID");
    name_ = text(channel, "NM");
    type_ = JobTypeOf(number(channel, "JT"));
    scheduledStart_ = text(channel, "SS");
    SetRecordType(number(channel, "RT"));
}

void JobData::AddRunningRow(Grid& grid) const {
    grid.AddRow({actualStart_, StatusName(), TypeName(), updateDatabase_, name_}, id_);
}

void JobData::AddScheduledRow(Grid& grid) const {
    grid.AddRow({scheduledStart_, TypeName(), name_}, id_);
}

QString JobData::RecordTypeName() const {
    return RecordTypeDisplayName(recordType_);
}

void JobData::SetRecordType(qint32 code) {
    recordTypeCode_ = code;
    recordType_ = code >= 1 && code <= 3 ? code : 0;
}

} // namespace velumar
