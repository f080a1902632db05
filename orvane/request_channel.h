#pragma once
// The channel over a Transport: the one implementation the client uses,
// whatever the transport (HTTP, in-process server, or a test's script).

#include "answer_reader.h"
#include "channel.h"
#include "log_writer.h"
#include "protocol/message.h"

#include <functional>
#include <memory>
#include <string>

namespace orvane {

class Transport;
struct TransportResult;

class RequestChannel final : public Channel {
public:
    // Unconnected until Open; sends before then answer NotLoggedIn.
    explicit RequestChannel(LogWriter log = LogWriter());
    // Already connected (tests, and tools that log in by themselves).
    RequestChannel(std::shared_ptr<Transport> transport, const QString& token,
                   LogWriter log = LogWriter());

    // Takes the session's transport and token and sends "OPEN" with "AC".
    // Fields added before Open are dropped.
    bool Open(int applicationCode, Session& session, StartupCompanion* companion) override;

    void AddField(const QString& key, const QString& value) override;
    void AddNumericField(const QString& key, qint32 value) override;
    void AddBoolField(const QString& key, bool value) override;

    qint16 SendRequest(const QString& code) override;

    QString GetField(const QString& key) override { return reader_.text(key); }
    qint32 GetNumericField(const QString& key) override { return reader_.number(key); }
    bool GetBoolField(const QString& key) override { return reader_.flag(key); }
    bool NextRecord(const QString& key) override { return reader_.next(key); }
    int CountRecords(const QString& key) override { return reader_.count(key); }

    void WriteLog(const QString& text) override { log_.write(text); }

    // Why the last send got no answer from the server; empty when it did.
    const QString& LastError() const { return lastError_; }

    // Asked when the server answers a request on the opened channel that it
    // no longer knows the session. True when the session's operator has
    // logged in again: the channel then opens again under the new session
    // and sends the same request once more. Unset, or false: the request
    // answers SessionLostStatus.
    using SessionLostHandler = std::function<bool()>;
    void SetSessionLostHandler(SessionLostHandler handler) { onSessionLost_ = std::move(handler); }

private:
    void add(const QString& key, wire::Value value);
    TransportResult exchange(const wire::Request& request);
    // Has the session renewed and the channel opened again; true when it was.
    bool renewSession();

    Session* session_ = nullptr; // the session opened with; null when given a token
    int applicationCode_ = 0;
    SessionLostHandler onSessionLost_;
    bool renewing_ = false; // requests sent meanwhile are not renewed again
    std::shared_ptr<Transport> transport_;
    std::string token_;
    LogWriter log_;
    wire::Fields pending_;
    AnswerReader reader_;
    QString lastError_;
};

} // namespace orvane
