#pragma once
// The program's components and their versions: the version each needs to be
// and the version found. The server's protocol version is found only when
// the channel opens.

#include <QList>
#include <QString>

namespace velumar {

struct Component {
    QString Name;
    QString Required;
    QString Installed; // empty: not known (yet)

    bool Matches() const { return Installed == Required; }
};

class ComponentTable {
public:
    static constexpr char Client[] = "Velumar client";
    static constexpr char Library[] = "orvane library";
    static constexpr char ServerProtocol[] = "server protocol";

    // The client, the library as linked, and the server protocol this
    // program speaks (found: not yet).
    static ComponentTable OfThisProgram();

    void Add(Component component) { components_.push_back(std::move(component)); }
    // No effect for a name not in the table.
    void SetInstalled(const QString& name, const QString& version);

    const QList<Component>& Components() const { return components_; }
    const Component* Find(const QString& name) const;

private:
    QList<Component> components_;
};

} // namespace velumar
