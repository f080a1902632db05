#include "embedded_server.h"

#include "core/server_core.h"
#include "demo/seed.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace orvane {

QString defaultEmbeddedDatabasePath() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
           QStringLiteral("/velumar.db");
}

std::shared_ptr<server::ServerCore> openEmbeddedServer(const QString& dbPath) {
    const QString folder = QFileInfo(dbPath).absolutePath();
    QDir().mkpath(folder);

    server::ServerOptions options;
    options.dbPath = QFile::encodeName(dbPath).toStdString();
    options.logPath =
        QFile::encodeName(folder + QStringLiteral("/velumar-server.log")).toStdString();
    options.trustLocalLogin = true;
    options.runJobs = true;
    auto core = std::make_shared<server::ServerCore>(options);
    server::initialiseStore(core->store(), /*demo=*/true);
    return core;
}

} // namespace orvane
