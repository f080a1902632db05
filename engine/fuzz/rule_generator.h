#pragma once
// Turns fuzz bytes into a rule document that reads without error: each byte
// chooses a rule shape, a line form or a value from lists of real tags,
// codes, values and patterns, so the fuzzer spends its time in the engine
// rather than in the parser's refusals.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace engine::fuzz {

std::string generateDocument(std::span<const std::uint8_t> bytes);

} // namespace engine::fuzz
