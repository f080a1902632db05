#include "testing/scripted_server.h"

#include "scripted_transport.h"

namespace velumar::testing {

using orvane::wire::Answer;

const QStringList& securityCodes() {
    static const QStringList codes{
        "AV",   "RSBA",  "RSBU", "RSBD", "RSBV", "RSBP", "RSBDR", "RSMA",  "RSMU", "RSMD", "RSMV",
        "RSMP", "RSMDR", "RSAA", "RSAU", "RSAD", "RSAV", "RSAP",  "RSADR", "DCRA", "DCRU", "DCRD",
        "DCRV", "SRA",   "SRU",  "SRD",  "SRV",  "DCB",  "SJB",   "IJB",   "JHB",  "RLB",  "RRB",
        "DCM",  "SJM",   "JHM",  "RLM",  "RRM",  "DCA",  "SJA",   "JHA",   "RLA",  "RRA",  "ALA",
        "JHAL", "RLAL",  "RRAL", "KALJ", "KDJ",  "KSJ",  "KIJ"};
    return codes;
}

Answer securityAnswer(const QStringList& held, const std::vector<IdName>& locations) {
    Answer answer;
    for (const auto& code : securityCodes())
        answer.add(code.toStdString(), held.contains(code));
    for (const auto& location : locations) {
        answer.add("LI", location.id);
        answer.add("LN", location.name);
    }
    return answer;
}

Answer librariesAnswer(const std::vector<IdName>& libraries) {
    Answer answer;
    for (const auto& library : libraries) {
        answer.add("LBI", library.id);
        answer.add("LBN", library.name);
    }
    return answer;
}

void scriptHealthyServer(orvane::testing::ScriptedTransport& transport, const QStringList& held) {
    transport.respond("LOGIN", [](const auto&) {
        return Answer{0, {{"TK", "tok"}, {"PF", false}, {"SW", SupportWebText}}};
    });
    transport.respond("OPEN", [](const auto&) { return Answer{0, {{"AC", 5}, {"PV", "1"}}}; });
    transport.respond("GET_VLM_SECURITY", [held](const auto&) {
        return securityAnswer(held, {{7, "Main Stacks"}, {3, "Annex"}});
    });
    transport.respond("PKGCHK", [](const auto&) { return Answer{0, {{"PKGINST", true}}}; });
    transport.respond("OWNINGLIBRARIES", [](const auto&) {
        return librariesAnswer({{2, "Central Library"}, {1, "Branch Library"}});
    });
    transport.respond("GETMARCFIELDORDER", [](const auto&) {
        return Answer{
            0, {{"MFOCID", 4}, {"MFONAME", "Standard"}, {"MFOCID", 9}, {"MFONAME", "Tag order"}}};
    });
    transport.respond("GETCHARSETS", [](const auto&) {
        return Answer{0,
                      {{"CSID", 1},
                       {"CSC", "A"},
                       {"CSN", "Unicode (UTF-8)"},
                       {"CSID", 2},
                       {"CSC", "M8"},
                       {"CSN", "MARC-8"}}};
    });
}

} // namespace velumar::testing
