#include "request_channel.h"

#include "protocol/status.h"
#include "reply_decoding.h"
#include "session.h"
#include "startup_companion.h"
#include "transport.h"

namespace orvane {

static_assert(SessionLostStatus == wire::status::NotLoggedIn);

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
    session_ = &session;
    applicationCode_ = applicationCode;

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

TransportResult RequestChannel::exchange(const wire::Request& request) {
    return transport_ ? transport_->exchange(request, token_)
                      : transportFailure(wire::status::NotLoggedIn, "the channel is not open");
}

bool RequestChannel::renewSession() {
    if (!onSessionLost_ || !session_ || !transport_ || renewing_)
        return false;
    WriteLog(QStringLiteral("The server no longer knows the session of %1 on %2")
                 .arg(session_->OperatorId(), session_->ServerName()));
    bool renewed = false;
    {
        renewing_ = true;
        struct Done {
            bool& flag;
            ~Done() { flag = false; }
        } done{renewing_};
        renewed = onSessionLost_() && session_->IsLoggedIn();
    }
    if (!renewed)
        return false;
    transport_ = session_->transport();
    token_ = session_->Token().toStdString();
    const wire::Request open{"OPEN", {{"AC", applicationCode_}}};
    const TransportResult opened = exchange(open);
    if (opened.status != wire::status::Ok) {
        WriteLog(QStringLiteral("Open after a new login: refused (status %1)").arg(opened.status));
        return false;
    }
    WriteLog(QStringLiteral("Logged in again as %1; the request goes again")
                 .arg(session_->OperatorId()));
    return true;
}

qint16 RequestChannel::SendRequest(const QString& code) {
    wire::Request request{code.toStdString(), std::move(pending_)};
    pending_.clear();

    TransportResult result = exchange(request);
    if (result.status == wire::status::NotLoggedIn && request.code != "OPEN" && renewSession())
        result = exchange(request);

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
