#pragma once
// Operator passwords: Argon2id hashes in libsodium's self-describing text
// form, so the cost settings travel with each hash.

#include <cstddef>
#include <string>
#include <string_view>

namespace orvane::server {

// Readies libsodium once per process; safe from any thread. Throws when it cannot.
void initialiseCrypto();

std::string hashPassword(std::string_view password);
// False for a wrong password and for a hash that is not one.
bool verifyPassword(const std::string& hash, std::string_view password);
// Does the work of one verification and fails: a refusal for an unknown
// operator then takes as long as one for a wrong password.
void verifyAgainstDummy(std::string_view password);

// A new password needs at least this many characters (not octets).
inline constexpr std::size_t MinPasswordLength = 4;
bool isAcceptablePassword(std::string_view password);

} // namespace orvane::server
