#pragma once
// Who is logged in, where, and how the program was started. One per run.
//
// Command line (the rest is ignored here, "/nocheck" included):
//   --server URL|embedded   the server to log in to; embedded by default
//   --operator ID           log in unattended as this operator
//   --db FILE               the embedded server's database file
// Both "--opt value" and "--opt=value" are understood. The password for an
// unattended login comes from the environment (VELUMAR_PASSWORD), never
// from the command line.

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QCoreApplication;

namespace orvane {

class Transport;

class Session {
public:
    // What the server list shows for the in-process server.
    static constexpr char EmbeddedServerName[] = "This computer (embedded)";

    // Makes the transport to a server: the embedded one or a URL. May throw
    // std::exception when the server cannot be set up.
    using TransportFactory = std::function<std::shared_ptr<Transport>(const QString& server)>;

    Session();
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    void Initialise(const QStringList& commandLine, QCoreApplication* app);

    // Logs in; 0 on success, the server's status otherwise (6: refused), or
    // a client status when it could not be reached. server: a URL, or
    // "embedded", EmbeddedServerName or empty for the in-process server.
    // "PW" is sent only when a password is given.
    qint32 Login(const QString& server, const QString& operatorId, const QString& password);
    // Logs the same operator in again on the same server, once the server
    // no longer knows the session (restarted, or the session idle too long).
    // 0 on success, with a new token; otherwise the refusing or client
    // status, and the session stays as it was (operator id included).
    qint32 Renew(const QString& password);
    // Ends the session on the server (when logged in) and forgets it.
    void Logout();

    QString OperatorId() const { return operatorId_; }
    bool PasswordFlag() const { return passwordFlag_; }
    QString SupportWebText() const { return supportWebText_; }
    bool IsLoggedIn() const { return !token_.isEmpty(); }
    QString Token() const { return token_; }
    // The server logged in to, or before that the one asked for: its URL,
    // or EmbeddedServerName.
    QString ServerName() const;

    const QStringList& CommandLine() const { return commandLine_; }
    QCoreApplication* Application() const { return app_; }
    // --server as given; empty when the command line named none.
    QString CommandLineServer() const { return commandLineServer_; }
    // --operator; empty when the command line named none.
    QString CommandLineOperator() const { return commandLineOperator_; }
    // The embedded server's database file (--db, or the default).
    QString DatabasePath() const;
    // Why the last login got no answer from the server; empty when it did.
    QString LastError() const { return lastError_; }

    // The transport of the last login; null before any.
    std::shared_ptr<Transport> transport() const { return transport_; }
    void SetTransportFactory(TransportFactory factory) { factory_ = std::move(factory); }

    static bool IsEmbedded(const QString& server);

private:
    std::shared_ptr<Transport> makeTransport(const QString& server) const;
    // Sends "LOGIN" on the transport; on success takes the token and the
    // session's values for this operator.
    qint32 logIn(const QString& operatorId, const QString& password);

    QStringList commandLine_;
    QCoreApplication* app_ = nullptr;
    QString commandLineServer_;
    QString commandLineOperator_;
    QString databasePath_;

    QString server_; // empty: embedded
    QString operatorId_;
    QString token_;
    bool passwordFlag_ = false;
    QString supportWebText_;
    QString lastError_;

    TransportFactory factory_;
    std::shared_ptr<Transport> transport_;
    QString transportServer_; // the server transport_ goes to
};

} // namespace orvane
