#pragma once
// The one road to the server. A request is built with the Add* operations
// (several functions may add in turn), sent under its code, and its answer
// read back with the Get* and record operations until the next send.
//
// Fields added since the previous send go with the request and are then
// gone, whether or not the send reached the server. An answer's single
// fields and its records read as AnswerReader describes; an absent key
// reads as "", 0 or false.

#include <QString>

namespace orvane {

// The status of a request the server refused because it no longer knows the
// session (it was restarted, or the session was idle too long) and that was
// not sent again under a new login. A reload that ends so keeps what it had
// listed: the data on the server has not gone.
inline constexpr qint16 SessionLostStatus = 9002;
inline bool SessionLost(qint16 status) { return status == SessionLostStatus; }

class Session;
class StartupCompanion;

class Channel {
public:
    virtual ~Channel() = default;

    // Connects the channel to the logged-in session; the companion, when
    // given, shows the progress. True when the server accepted the session.
    // The server's answer to the opening stays readable like any other
    // (its "PV" is the protocol version the server speaks).
    virtual bool Open(int applicationCode, Session& session, StartupCompanion* companion) = 0;

    virtual void AddField(const QString& key, const QString& value) = 0;
    virtual void AddNumericField(const QString& key, qint32 value) = 0;
    virtual void AddBoolField(const QString& key, bool value) = 0;

    // 0 on success; the request's own codes otherwise, or a client status
    // (9001 to 9004) when no answer came from the server.
    virtual qint16 SendRequest(const QString& code) = 0;

    virtual QString GetField(const QString& key) = 0;
    virtual qint32 GetNumericField(const QString& key) = 0;
    virtual bool GetBoolField(const QString& key) = 0;
    virtual bool NextRecord(const QString& key) = 0;
    virtual int CountRecords(const QString& key) = 0;

    virtual void WriteLog(const QString& text) = 0;
};

} // namespace orvane
