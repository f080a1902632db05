#pragma once
// What the preview tells the operator: the message of each disposition code
// ("BC") the server answers a preview with, and the texts of its failures.

#include <QString>

namespace velumar {

// "BC" 3: the record set holds no records.
inline constexpr int EmptyRecordSetCode = 3;

// The message of codes 1, 2 and 4 to 9; empty for any other code.
QString DispositionMessage(int code);

// "Could not parse 'before' record - " and the reason, or "invalid MARC
// record." when there is none.
QString ParseFailureMessage(const QString& side, const QString& reason);

} // namespace velumar
