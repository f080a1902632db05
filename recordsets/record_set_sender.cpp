#include "record_set_sender.h"

#include "channel.h"
#include "record_set_progress.h"
#include "record_set_warning.h"
#include "record_types.h"

namespace velumar {

namespace {

// A summary longer than this is cut after the id that passes it.
constexpr qsizetype SummaryLimit = 1000;

} // namespace

RecordSetSender::RecordSetSender(orvane::Channel& channel, PlatformServices& platform,
                                 QString operatorId)
    : channel_(channel), platform_(platform), operatorId_(std::move(operatorId)) {}

void RecordSetSender::Begin(const QList<qint32>& ids, qint32 recordSetId, int recordType,
                            RecordSetProgress* progress) {
    Begin(static_cast<int>(ids.size()), recordSetId, recordType, progress);
}

void RecordSetSender::Begin(int total, qint32 recordSetId, int recordType,
                            RecordSetProgress* progress) {
    recordSetId_ = recordSetId;
    recordType_ = recordType;
    total_ = total;
    sent_ = 0;
    inBatch_ = 0;
    notAddedIds_.clear();
    progress_ = progress && total_ > BatchSize ? progress : nullptr;
    if (progress_)
        progress_->ProgressShow(0, total_);
}

bool RecordSetSender::AddRecordId(qint32 id) {
    if (inBatch_ == 0) {
        channel_.AddField(QStringLiteral("OI"), operatorId_);
        channel_.AddNumericField(QStringLiteral("RSID"), recordSetId_);
    }
    channel_.AddNumericField(QStringLiteral("RID"), id);
    ++inBatch_;
    ++sent_;
    if (inBatch_ < BatchSize)
        return false;
    inBatch_ = 0;
    return true;
}

bool RecordSetSender::SendBatch() {
    inBatch_ = 0;
    showProgress();
    const qint16 status = channel_.SendRequest(QStringLiteral("ADD_TO_RECORD_SET"));
    if (status != 0) {
        warn(status == 6 ? QStringLiteral("Operator not authorized to add to record set.")
                         : QStringLiteral("Failed to add record(s) to set."));
        hideProgress();
        return true;
    }
    const QString key = QStringLiteral("RID");
    if (channel_.CountRecords(key) != 0)
        while (channel_.NextRecord(key))
            notAddedIds_.push_back(channel_.GetNumericField(key));
    showProgress();
    return false;
}

bool RecordSetSender::Finish() {
    if (HasPending() && SendBatch())
        return false;
    const QString summary = Summary(notAddedIds_, total_, recordType_);
    if (!summary.isEmpty())
        warn(summary);
    hideProgress();
    return true;
}

QString RecordSetSender::Summary(const QList<qint32>& notAdded, int total, int recordType) {
    const QString typeName = RecordTypeShortName(recordType);
    if (notAdded.size() == total)
        return QStringLiteral("None of these records were added, as no ") + typeName +
               QStringLiteral(" records matching these ids were found in the database.");
    if (notAdded.isEmpty())
        return {};
    QString text = QStringLiteral("The following record ids were not added, as no ") + typeName +
                   QStringLiteral(" records matching these ids were found in the database:\r\n");
    for (qsizetype i = 0; i < notAdded.size(); ++i) {
        if (i > 0)
            text += QStringLiteral(", ");
        text += QString::number(notAdded[i]);
        if (text.size() > SummaryLimit) {
            text += QStringLiteral("...");
            break;
        }
    }
    return text;
}

void RecordSetSender::showProgress() {
    if (progress_)
        progress_->ProgressShow(sent_, total_);
}

void RecordSetSender::hideProgress() {
    if (progress_)
        progress_->ProgressHide();
}

void RecordSetSender::warn(const QString& text) { ShowRecordSetWarning(platform_, text); }

} // namespace velumar
