#include "upload/upload_requests.h"

#include "channel.h"
#include "platform/platform_services.h"
#include "request_channel.h"
#include "session.h"
#include "session/session_state.h"
#include "upload/file_record.h"

namespace velumar {

bool UploadRequests::UpdateStatus(int status, const UploadCounters& counters,
                                  std::optional<qint32> saveSet) {
    orvane::Channel& channel = state_.channel();
    if (saveSet)
        channel.AddNumericField(QStringLiteral("SRS"), *saveSet);
    channel.AddNumericField(QStringLiteral("ID"), jobId_);
    channel.AddNumericField(QStringLiteral("JS"), status);
    channel.AddNumericField(QStringLiteral("EC"), counters.errors);
    channel.AddNumericField(QStringLiteral("RP"), counters.processed);
    channel.AddNumericField(QStringLiteral("RTP"), counters.toProcess);
    channel.AddField(QStringLiteral("OI"), state_.session().OperatorId());
    const qint16 answer = channel.SendRequest(QStringLiteral("SAVE_JOB"));
    if (answer == 0)
        return true;
    Message message;
    message.text =
        QStringLiteral("Failed to update match job. Error code = ") + QString::number(answer);
    message.icon = MessageIcon::Exclamation;
    state_.platform().ShowMessage(message);
    return false;
}

std::optional<QString> UploadRequests::Convert(const QString& record, const QString& fromCode) {
    orvane::Channel& channel = state_.channel();
    channel.AddField(QStringLiteral("CSI"), fromCode);
    channel.AddField(QStringLiteral("CSO"), QString::fromLatin1(Unicode));
    channel.AddField(QStringLiteral("MR"), record);
    if (channel.SendRequest(QStringLiteral("CONVERTMARCCHARSET")) != 0)
        return std::nullopt;
    return channel.GetField(QStringLiteral("MR"));
}

EncodingStep UploadRequests::Encode(FileRecord& record, const QString& fileCode) {
    if (record.IsUnicode())
        return EncodingStep::AsRead;
    if (fileCode == QLatin1String(Unicode))
        return EncodingStep::Mismatch;
    const auto converted = Convert(record.Text(), fileCode);
    if (!converted)
        return EncodingStep::NotConverted;
    record.Replace(*converted);
    return EncodingStep::Converted;
}

bool UploadRequests::Upload(const QStringList& records, int firstPlace) {
    orvane::Channel& channel = state_.channel();
    for (const QString& record : records)
        channel.AddField(QStringLiteral("MR"), record);
    channel.AddNumericField(QStringLiteral("ID"), jobId_);
    channel.AddField(QStringLiteral("OI"), state_.session().OperatorId());
    channel.AddNumericField(QStringLiteral("RP"), firstPlace);
    return channel.SendRequest(QStringLiteral("UPLOAD_MARC")) == 0;
}

} // namespace velumar
