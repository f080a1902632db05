#pragma once
// The small inputs every template shares, each taking only what rule text
// can carry: field tags, indicators ("#", not specified, is shown as "*"),
// subfield codes and quoted values (no double quote: a value cannot hold one).

#include <QString>
#include <string>
#include <string_view>

class QLineEdit;

namespace velumar {

// Digits and X (tag patterns such as 9XX), at most `length` characters.
QLineEdit* MakeTagInput(const char* name, int length = 3);
// One character; shows "*" for "#".
QLineEdit* MakeIndicatorInput(const char* name);
// Subfield codes, with "*" when the wildcard is allowed; one code unless `several`.
QLineEdit* MakeSubfieldInput(const char* name, bool wildcard, bool several);
// Any text without a double quote.
QLineEdit* MakeValueInput(const char* name);

// "#" is shown as "*"; an input left empty or "*" is stored as "#".
QString ShownIndicator(std::string_view stored);
std::string StoredIndicator(const QString& shown);

// Codes as stored, emptied when their first character is not a subfield code.
QString ShownSubfields(std::string_view stored, bool wildcard);

std::string ToStd(const QString& text);
QString FromStd(std::string_view text);

} // namespace velumar
