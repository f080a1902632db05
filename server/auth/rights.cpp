#include "rights.h"

#include "store/database.h"

#include <algorithm>
#include <array>

namespace orvane::server {

namespace {
using namespace std::string_view_literals;

constexpr std::array Codes{
    "AV"sv,
    "RSBA"sv, "RSBU"sv, "RSBD"sv, "RSBV"sv, "RSBP"sv, "RSBDR"sv,
    "RSMA"sv, "RSMU"sv, "RSMD"sv, "RSMV"sv, "RSMP"sv, "RSMDR"sv,
    "RSAA"sv, "RSAU"sv, "RSAD"sv, "RSAV"sv, "RSAP"sv, "RSADR"sv,
    "DCRA"sv, "DCRU"sv, "DCRD"sv, "DCRV"sv,
    "SRA"sv, "SRU"sv, "SRD"sv, "SRV"sv,
    "DCB"sv, "SJB"sv, "IJB"sv, "JHB"sv, "RLB"sv, "RRB"sv,
    "DCM"sv, "SJM"sv, "JHM"sv, "RLM"sv, "RRM"sv,
    "DCA"sv, "SJA"sv, "JHA"sv, "RLA"sv, "RRA"sv,
    "ALA"sv, "JHAL"sv, "RLAL"sv, "RRAL"sv,
    "KALJ"sv, "KDJ"sv, "KSJ"sv, "KIJ"sv,
};

constexpr std::array ViewCodes{
    "AV"sv, "RSBV"sv, "RSMV"sv, "RSAV"sv, "DCRV"sv, "SRV"sv,
    "JHB"sv, "JHM"sv, "JHA"sv, "JHAL"sv,
};
} // namespace

std::span<const std::string_view> allRightCodes() { return Codes; }

std::span<const std::string_view> viewRightCodes() { return ViewCodes; }

bool isRightCode(std::string_view code) {
    return std::find(Codes.begin(), Codes.end(), code) != Codes.end();
}

bool hasRight(Database& db, std::int64_t operatorRow, std::string_view code) {
    auto st = db.prepare("SELECT 1 FROM operator_rights WHERE operator = ?1 AND code = ?2");
    st.bind(1, operatorRow).bind(2, code);
    return st.step();
}

} // namespace orvane::server
