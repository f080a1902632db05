#pragma once
// Text inputs held to the longest text the server keeps for their field,
// counted as the server counts it: in octets of UTF-8. The server refuses a
// longer one (status 8); the input never lets the operator type it.

#include <cstddef>

class QLineEdit;
class QString;

namespace orvane {

// Names of record sets (and of rule documents and rule set groups).
extern const std::size_t NameOctets;

// Holds the field to `octets`: typing past it is refused and pasted text is
// cut at the last whole character that fits.
void LimitToOctets(QLineEdit& field, std::size_t octets);

// The longest start of `text` that is at most `octets` octets of UTF-8,
// never splitting a character.
QString CutToOctets(const QString& text, std::size_t octets);

} // namespace orvane
