#pragma once
// The component check at start-up: before anything else the components in
// the program, and once the channel is open the server's protocol version.
// "/nocheck" on the command line, in any letter case, skips both.

#include <QString>
#include <QStringList>

namespace velumar {

class ComponentTable;

void RegisterComponents();

bool SkipsComponentCheck(const QStringList& commandLine);

// What the operator is told when a component in the program is not the
// version needed; empty when all match. The server protocol is not judged here.
QString LocalComponentMismatchText(const ComponentTable& table);

// What the operator is told when the server does not speak the protocol
// version needed (or does not say which it speaks); empty when it does.
QString ServerProtocolMismatchText(const ComponentTable& table, const QString& serverName);

} // namespace velumar
