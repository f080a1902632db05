#pragma once
// MARC records travel in text fields as their octets, one character per
// octet (U+0000 to U+00FF), so ISO 2709 lengths stay exact whatever the
// record's coding. On the wire those characters are UTF-8.

#include <optional>
#include <string>
#include <string_view>

namespace orvane::wire {

// Raw octets to the UTF-8 text that carries them.
std::string octetsToText(std::string_view octets);
// The octets carried by UTF-8 text; empty when a character is above U+00FF
// or the text is not valid UTF-8.
std::optional<std::string> textToOctets(std::string_view text);

} // namespace orvane::wire
