#pragma once
// The longest text, in octets of UTF-8, each kind of field may hold: what a
// name or a rule document needs, with room to spare, and no more. A handler
// declares the limit of each text field it reads; the dispatcher refuses a
// request with one octet more (status 8) before the handler runs.

#include <cstddef>

namespace orvane::server::text_limits {

// Names of record sets, rule documents and rule set groups; package names.
inline constexpr std::size_t Name = 255;
inline constexpr std::size_t Description = 4000;
// The text of one rule document.
inline constexpr std::size_t RuleText = 1024 * 1024;
inline constexpr std::size_t ParameterName = 100;
inline constexpr std::size_t ParameterValue = 1000;
// A catalogue search key as typed, and an index code.
inline constexpr std::size_t SearchKey = 1000;
inline constexpr std::size_t Code = 32;
inline constexpr std::size_t OperatorId = 64;
inline constexpr std::size_t Password = 1024;
// One ISO 2709 record (at most 99,999 octets) as wire text, two octets each
// at most.
inline constexpr std::size_t RecordText = 2 * 99'999;

} // namespace orvane::server::text_limits
