#include "record_set_rights.h"

#include <array>

namespace orvane::server {

namespace {
using namespace std::string_view_literals;

// Rows by record type (1 bibliographic, 2 holdings, 3 authority), columns by action.
constexpr std::array<std::array<std::string_view, 6>, 3> Rights{{
    {"RSBA"sv, "RSBU"sv, "RSBD"sv, "RSBV"sv, "RSBP"sv, "RSBDR"sv},
    {"RSMA"sv, "RSMU"sv, "RSMD"sv, "RSMV"sv, "RSMP"sv, "RSMDR"sv},
    {"RSAA"sv, "RSAU"sv, "RSAD"sv, "RSAV"sv, "RSAP"sv, "RSADR"sv},
}};
} // namespace

std::string_view recordSetRight(RecordSetAction action, int recordType) {
    if (recordType < 1 || recordType > 3)
        return {};
    return Rights[static_cast<std::size_t>(recordType - 1)][static_cast<std::size_t>(action)];
}

} // namespace orvane::server
