#pragma once
// Scripted answers for the requests of the start-up and the security
// profile, as a server gives them, for tests on a RequestChannel over a
// ScriptedTransport.

#include "protocol/message.h"

#include <QString>
#include <QStringList>
#include <string>
#include <vector>

namespace orvane::testing {
class ScriptedTransport;
}

namespace velumar::testing {

// Every right code "GET_VLM_SECURITY" answers, in the order the server sends them.
const QStringList& securityCodes();

struct IdName {
    qint32 id;
    std::string name;
};

// "GET_VLM_SECURITY": each code true when held, then the location records.
orvane::wire::Answer securityAnswer(const QStringList& held,
                                    const std::vector<IdName>& locations = {});
// "OWNINGLIBRARIES": the library records.
orvane::wire::Answer librariesAnswer(const std::vector<IdName>& libraries);

// Answers every request of the start-up as a healthy server of protocol
// version 1 for an operator with these rights (all of them by default):
// LOGIN (token "tok", password flag false, support web text), OPEN,
// GET_VLM_SECURITY, PKGCHK (installed), OWNINGLIBRARIES, GETMARCFIELDORDER
// and GETCHARSETS (two each).
void scriptHealthyServer(orvane::testing::ScriptedTransport& transport,
                         const QStringList& held = securityCodes());

inline constexpr char SupportWebText[] = "https://support.example/velumar";

} // namespace velumar::testing
