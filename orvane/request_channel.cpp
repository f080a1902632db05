#include "request_channel.h"

#include "protocol/status.h"
#include "reply_decoding.h"
#include "session.h"
#include "startup_companion.h"
#include "transport.h"

namespace orvane {

RequestChannel::RequestChannel(LogWriter log) : log_(std::move(log)) {}

RequestChannel::RequestChannel(std::shared_ptr<Transport> transport, const QString& token,
                               LogWriter log)
    : transport_(std::move(transport)), token_(token.toStdString()), log_(std::move(log)) {}

bool RequestChannel::Open(int applicationCode, Session& session, StartupCompanion* companion) {
    pending_.clear();
    if (companion)
        companion->ShowProgress(QStringLiteral("Connecting to %1...").arg(session.ServerName()));
    if (!session.IsLoggedIn()) {
        WriteLog(QStringLiteral("Open: no operator is logged in"));
        return false;
    }
    transport_ = session.transport();
    token_ = session.Token().toStdString();

    AddNumericField(QStringLiteral("AC"), applicationCode);
    const qint16 status = SendRequest(QStringLiteral("OPEN"));
    if (status != wire::status::Ok) {
        WriteLog(QStringLiteral("Open: the server refused application %1 for %2 (status %3)")
                     .arg(applicationCode)
                     .arg(session.OperatorId())
                     .arg(status));
        return false;
    }
    if (companion)
        companion->ShowProgress(QStringLiteral("Connected."));
    return true;
}

void RequestChannel::add(const QString& key, wire::Value value) {
    pending_.push_back({key.toStdString(), std::move(value)});
}

void RequestChannel::AddField(const QString& key, const QString& value) {
    add(key, value.toStdString());
}

void RequestChannel::AddNumericField(const QString& key, qint32 value) {
    add(key, value);
}

void RequestChannel::AddBoolField(const QString& key, bool value) {
    add(key, value);
}

qint16 RequestChannel::SendRequest(const QString& code) {
    wire::Request request{code.toStdString(), std::move(pending_)};
    pending_.clear();

    TransportResult result =
        transport_ ? transport_->exchange(request, token_)
                   : transportFailure(wire::status::NotLoggedIn, "the channel is not open");

    lastError_ = QString::fromStdString(result.error);
    if (!result.error.empty())
        WriteLog(QStringLiteral("%1: no answer (status %2): %3")
                     .arg(code)
                     .arg(result.status)
                     .arg(lastError_));
    reader_ = AnswerReader(std::move(result.answer));
    return static_cast<qint16>(result.status);
}

} // namespace orvane
