#include "session.h"

#include "answer_reader.h"
#include "embedded_server.h"
#include "embedded_transport.h"
#include "http_transport.h"
#include "protocol/status.h"

#include <exception>
#include <utility>

namespace orvane {

namespace {

// The value of "--name value" or "--name=value" at args[i]; advances i past it.
bool takeOption(const QStringList& args, qsizetype& i, const QString& name, QString& value) {
    const QString& arg = args[i];
    if (arg == name) {
        if (i + 1 < args.size())
            value = args[++i];
        return true;
    }
    if (arg.startsWith(name + QLatin1Char('='))) {
        value = arg.mid(name.size() + 1);
        return true;
    }
    return false;
}

} // namespace

Session::Session() : factory_([this](const QString& server) { return makeTransport(server); }) {}

Session::~Session() = default;

void Session::Initialise(const QStringList& commandLine, QCoreApplication* app) {
    commandLine_ = commandLine;
    app_ = app;
    const std::pair<QString, QString*> options[] = {
        {QStringLiteral("--server"), &commandLineServer_},
        {QStringLiteral("--operator"), &commandLineOperator_},
        {QStringLiteral("--db"), &databasePath_},
    };
    // The first entry is the program itself.
    for (qsizetype i = 1; i < commandLine.size(); ++i) {
        for (const auto& [name, value] : options)
            if (takeOption(commandLine, i, name, *value))
                break;
    }
    commandLineServer_ = commandLineServer_.trimmed();
    commandLineOperator_ = commandLineOperator_.trimmed();
    if (!IsLoggedIn())
        server_ = IsEmbedded(commandLineServer_) ? QString() : commandLineServer_;
}

bool Session::IsEmbedded(const QString& server) {
    const QString s = server.trimmed();
    return s.isEmpty() || s.compare(QLatin1String("embedded"), Qt::CaseInsensitive) == 0 ||
           s == QLatin1String(EmbeddedServerName);
}

QString Session::ServerName() const {
    return server_.isEmpty() ? QString(EmbeddedServerName) : server_;
}

QString Session::DatabasePath() const {
    return databasePath_.isEmpty() ? defaultEmbeddedDatabasePath() : databasePath_;
}

std::shared_ptr<Transport> Session::makeTransport(const QString& server) const {
    if (IsEmbedded(server))
        return std::make_shared<EmbeddedTransport>(openEmbeddedServer(DatabasePath()));
    return std::make_shared<HttpTransport>(server);
}

qint32 Session::Login(const QString& server, const QString& operatorId, const QString& password) {
    const QString target = IsEmbedded(server) ? QString() : server.trimmed();
    if (IsLoggedIn())
        Logout();
    server_ = target;
    lastError_.clear();

    // A retry on the same server keeps its transport (and an embedded
    // server its open database).
    if (!transport_ || transportServer_ != target) {
        transport_.reset();
        try {
            transport_ = factory_(target);
        } catch (const std::exception& e) {
            lastError_ = QString::fromStdString(e.what());
            return wire::status::Unreachable;
        }
        transportServer_ = target;
    }
    return logIn(operatorId, password);
}

qint32 Session::Renew(const QString& password) {
    if (operatorId_.isEmpty() || !transport_) {
        lastError_ = QStringLiteral("no operator was logged in");
        return wire::status::NotLoggedIn;
    }
    lastError_.clear();
    return logIn(operatorId_, password);
}

qint32 Session::logIn(const QString& operatorId, const QString& password) {
    wire::Request request{"LOGIN", {{"OI", operatorId.toStdString()}}};
    if (!password.isEmpty())
        request.fields.push_back({"PW", password.toStdString()});
    TransportResult result = transport_->exchange(request, {});
    lastError_ = QString::fromStdString(result.error);
    if (result.status != wire::status::Ok)
        return result.status;

    const AnswerReader answer(std::move(result.answer));
    const QString token = answer.text(QStringLiteral("TK"));
    if (token.isEmpty()) {
        lastError_ = QStringLiteral("the server accepted the login but sent no session token");
        return wire::status::BadAnswer;
    }
    token_ = token;
    operatorId_ = operatorId;
    passwordFlag_ = answer.flag(QStringLiteral("PF"));
    supportWebText_ = answer.text(QStringLiteral("SW"));
    return wire::status::Ok;
}

void Session::Logout() {
    if (IsLoggedIn() && transport_)
        transport_->exchange({"LOGOUT", {}}, token_.toStdString());
    token_.clear();
    operatorId_.clear();
    passwordFlag_ = false;
    supportWebText_.clear();
}

} // namespace orvane
