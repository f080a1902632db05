#pragma once
// The operator's rights, by the short codes the server sends them under.
// The order is the order the profile reads them from "GET_VLM_SECURITY";
// PKGINST comes last, from a request of its own.

#include <cstddef>

namespace velumar {

// clang-format off
enum class Right {
    AV,
    RSBA, RSBU, RSBD, RSBV, RSBP, RSBDR,
    RSMA, RSMU, RSMD, RSMV, RSMP, RSMDR,
    RSAA, RSAU, RSAD, RSAV, RSAP, RSADR,
    DCRA, DCRU, DCRD, DCRV,
    SRA, SRU, SRD, SRV,
    DCB, SJB, IJB, JHB, RLB, RRB,
    DCM, SJM, JHM, RLM, RRM,
    DCA, SJA, JHA, RLA, RRA,
    ALA, JHAL, RLAL, RRAL,
    KALJ, KDJ, KSJ, KIJ,
    PKGINST,
};
// clang-format on

inline constexpr std::size_t RightCount = static_cast<std::size_t>(Right::PKGINST) + 1;

// The code the server sends the right under: "AV", "RSBA", ...
const char* rightCode(Right right);

} // namespace velumar
