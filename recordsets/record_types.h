#pragma once
// Record types (1 bibliographic, 2 holdings, 3 authority) and set types
// (1 explicit, 2 logical), with the names the screens and messages use.

#include <QString>

namespace velumar {

// "Bib", "Mfhd", "Auth"; empty for any other code.
QString RecordTypeShortName(int recordType);
// "Bibliographic", "Holdings", "Authority"; empty for any other code.
QString RecordTypeDisplayName(int recordType);
// "Explicit", "Logical"; empty for any other code.
QString SetTypeName(int setType);

inline constexpr int ExplicitSetType = 1;

} // namespace velumar
