#pragma once
// Operator rights, by the short codes the client's security profile reads.

#include <cstdint>
#include <span>
#include <string_view>

namespace orvane::server {

class Database;

// Every right code, in the order "GET_VLM_SECURITY" answers them.
std::span<const std::string_view> allRightCodes();
bool isRightCode(std::string_view code);
// The rights an operator who may only look gets ("viewer").
std::span<const std::string_view> viewRightCodes();

bool hasRight(Database& db, std::int64_t operatorRow, std::string_view code);

} // namespace orvane::server
