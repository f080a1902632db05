#include "components/component_table.h"

#include "version.h"

namespace velumar {

ComponentTable ComponentTable::OfThisProgram() {
    const QString version = QStringLiteral(VELUMAR_VERSION);
    ComponentTable table;
    table.Add({QString::fromLatin1(Client), version, version});
    // The client and its library are released together, under one version.
    table.Add(
        {QString::fromLatin1(Library), version, QString::fromLatin1(orvane::LibraryVersion())});
    table.Add({QString::fromLatin1(ServerProtocol), QString::fromLatin1(orvane::ProtocolVersion),
               QString()});
    return table;
}

void ComponentTable::SetInstalled(const QString& name, const QString& version) {
    for (auto& component : components_)
        if (component.Name == name)
            component.Installed = version;
}

const Component* ComponentTable::Find(const QString& name) const {
    for (const auto& component : components_)
        if (component.Name == name)
            return &component;
    return nullptr;
}

} // namespace velumar
