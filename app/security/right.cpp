#include "security/right.h"

#include <array>

namespace velumar {

namespace {

// clang-format off
constexpr std::array<const char*, RightCount> Codes{
    "AV",
    "RSBA", "RSBU", "RSBD", "RSBV", "RSBP", "RSBDR",
    "RSMA", "RSMU", "RSMD", "RSMV", "RSMP", "RSMDR",
    "RSAA", "RSAU", "RSAD", "RSAV", "RSAP", "RSADR",
    "DCRA", "DCRU", "DCRD", "DCRV",
    "SRA", "SRU", "SRD", "SRV",
    "DCB", "SJB", "IJB", "JHB", "RLB", "RRB",
    "DCM", "SJM", "JHM", "RLM", "RRM",
    "DCA", "SJA", "JHA", "RLA", "RRA",
    "ALA", "JHAL", "RLAL", "RRAL",
    "KALJ", "KDJ", "KSJ", "KIJ",
    "PKGINST",
};
// clang-format on

} // namespace

const char* rightCode(Right right) {
    return Codes[static_cast<std::size_t>(right)];
}

} // namespace velumar
