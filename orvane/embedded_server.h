#pragma once
// The server that runs inside the client when no server address is given:
// a ServerCore on a SQLite file of the operator's own, filled with the demo
// data the first time.

#include <QString>
#include <memory>

namespace orvane::server {
class ServerCore;
}

namespace orvane {

// The user's data folder + "/velumar.db". Nothing is created: opening makes the folder.
QString defaultEmbeddedDatabasePath();

// Opens (creating and filling when new) the database; its server log goes
// beside it as "velumar-server.log". Throws std::exception when the file
// cannot be opened.
std::shared_ptr<server::ServerCore> openEmbeddedServer(const QString& dbPath);

} // namespace orvane
