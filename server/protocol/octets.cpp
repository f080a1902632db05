#include "octets.h"

namespace orvane::wire {

std::string octetsToText(std::string_view octets) {
    std::string out;
    out.reserve(octets.size() + octets.size() / 8);
    for (unsigned char c : octets) {
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

std::optional<std::string> textToOctets(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if ((c == 0xC2 || c == 0xC3) && i + 1 < text.size() &&
                   (static_cast<unsigned char>(text[i + 1]) & 0xC0) == 0x80) {
            const auto next = static_cast<unsigned char>(text[++i]);
            out.push_back(static_cast<char>(((c & 0x03) << 6) | (next & 0x3F)));
        } else {
            return std::nullopt;
        }
    }
    return out;
}

} // namespace orvane::wire
