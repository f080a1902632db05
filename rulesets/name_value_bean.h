#pragma once
// A named parameter of a rule set group: name and value, both text.

#include <QString>

namespace velumar {

struct NameValueBean {
    QString Name;  // "PN"
    QString Value; // "PV"

    bool operator==(const NameValueBean&) const = default;
};

} // namespace velumar
