#pragma once
// Small text operations the model classes share.

#include <QString>

namespace velumar {

// Every occurrence of find replaced, left to right; a replacement is never
// searched again, so replacing "a" by "aa" ends.
QString ReplaceAll(const QString& text, const QString& find, const QString& replacement);

// The last character is a carriage return or a line feed; false for "".
bool EndsWithLineBreak(const QString& text);

} // namespace velumar
