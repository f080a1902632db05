#include "components/component_check.h"

#include "components/component_table.h"

namespace velumar {

void RegisterComponents() {
    // Nothing to register on this platform: the components are linked into the program itself.
}

bool SkipsComponentCheck(const QStringList& commandLine) {
    for (const auto& arg : commandLine)
        if (arg.compare(QLatin1String("/nocheck"), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

QString LocalComponentMismatchText(const ComponentTable& table) {
    QString lines;
    for (const auto& c : table.Components()) {
        if (c.Name == QLatin1String(ComponentTable::ServerProtocol) || c.Matches())
            continue;
        const QString found = c.Installed.isEmpty() ? QStringLiteral("not found")
                                                    : QStringLiteral("version ") + c.Installed;
        lines += QStringLiteral("%1: %2, version %3 needed\n").arg(c.Name, found, c.Required);
    }
    if (lines.isEmpty())
        return {};
    return QStringLiteral("Velumar cannot start: some of its components are not the versions "
                          "it needs.\n\n") +
           lines + QStringLiteral("\nPlease install Velumar again.");
}

QString ServerProtocolMismatchText(const ComponentTable& table, const QString& serverName) {
    const Component* protocol = table.Find(QString::fromLatin1(ComponentTable::ServerProtocol));
    if (!protocol || protocol->Matches())
        return {};
    const QString speaks =
        protocol->Installed.isEmpty()
            ? QStringLiteral("The server does not say which protocol version it speaks")
            : QStringLiteral("The server speaks protocol version %1").arg(protocol->Installed);
    return QStringLiteral("Velumar cannot work with the server %1.\n\n%2; this Velumar needs "
                          "protocol version %3. Please use the Velumar that goes with this "
                          "server.")
        .arg(serverName, speaks, protocol->Required);
}

} // namespace velumar
