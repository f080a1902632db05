#pragma once
// A duplicate detection profile the server offers to authority-load match
// configurations.

#include <QString>

namespace velumar {

struct DupeDetectionProfile {
    qint32 Id = 0; // "DID"
    QString Code;  // "DCd"
    QString Name;  // "DNm"

    // "Standard [STD]"
    QString DisplayText() const { return Name + " [" + Code + "]"; }
};

} // namespace velumar
