#pragma once
// A 32-bit id and a name: owning libraries, locations and the other small
// lists the server sends. Lists show the name and keep the id as item data.

#include <QString>
#include <QtGlobal>

namespace velumar {

struct IdNameBean {
    qint32 Id = 0;
    QString Name;

    bool operator==(const IdNameBean&) const = default;
};

} // namespace velumar
