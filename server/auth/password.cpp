#include "password.h"

#include <algorithm>
#include <sodium.h>
#include <stdexcept>

namespace orvane::server {

void initialiseCrypto() {
    // sodium_init is itself thread-safe; the static keeps later calls free.
    static const int result = sodium_init();
    if (result < 0)
        throw std::runtime_error("the cryptography library cannot start");
}

std::string hashPassword(std::string_view password) {
    initialiseCrypto();
    char out[crypto_pwhash_STRBYTES];
    // Interactive limits: a login stays well under a second on a small server.
    if (crypto_pwhash_str(out, password.data(), password.size(), crypto_pwhash_OPSLIMIT_INTERACTIVE,
                          crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0)
        throw std::runtime_error("not enough memory to hash a password");
    return out;
}

bool verifyPassword(const std::string& hash, std::string_view password) {
    initialiseCrypto();
    return crypto_pwhash_str_verify(hash.c_str(), password.data(), password.size()) == 0;
}

void verifyAgainstDummy(std::string_view password) {
    // Made once, with the same limits as every real hash, from a password nobody knows.
    static const std::string dummy = [] {
        unsigned char secret[32];
        initialiseCrypto();
        randombytes_buf(secret, sizeof secret);
        return hashPassword(std::string_view(reinterpret_cast<const char*>(secret), sizeof secret));
    }();
    verifyPassword(dummy, password);
}

bool isAcceptablePassword(std::string_view password) {
    // Characters are counted as UTF-8 lead octets, so "äöü" is three, not six.
    const auto characters = std::count_if(password.begin(), password.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    });
    return static_cast<std::size_t>(characters) >= MinPasswordLength;
}

} // namespace orvane::server
