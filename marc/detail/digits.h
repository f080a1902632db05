#pragma once
// Fixed-width decimal numbers, the way ISO 2709 writes lengths and positions.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace marc::detail {

// Digits only; nothing when any byte is not one of "0123456789".
inline std::optional<std::size_t> readDigits(const char* at, std::size_t width) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < width; ++i) {
        const auto d = static_cast<unsigned>(static_cast<unsigned char>(at[i])) - '0';
        if (d > 9)
            return std::nullopt;
        n = n * 10 + d;
    }
    return n;
}

// Digits already checked: the directory of a parsed record.
template <std::size_t Width> inline std::size_t readCheckedDigits(const char* at) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < Width; ++i)
        n = n * 10 + static_cast<std::size_t>(at[i] - '0');
    return n;
}

// Writes `value` zero-padded into exactly `width` bytes; the caller has checked it fits.
inline void writeDigits(char* at, std::size_t value, std::size_t width) {
    for (std::size_t i = width; i-- > 0;) {
        at[i] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
}

// Bytes shown in a message: printable ASCII as is, anything else as \xNN, in quotes.
inline std::string quoted(std::string_view bytes) {
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string out = "\"";
    for (char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x20 && u < 0x7F && c != '"' && c != '\\') {
            out += c;
        } else {
            out += "\\x";
            out += hex[u >> 4];
            out += hex[u & 0xF];
        }
    }
    out += '"';
    return out;
}

} // namespace marc::detail
