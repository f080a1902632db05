#pragma once
// Has the server convert one MARC record from one character set to another
// (codes of the character set table). The record travels as its octets, one
// character per octet.

#include <QString>

namespace orvane {
class Channel;
}

namespace velumar {

class BusyState;

// True when converted: the record is replaced by the server's. Otherwise the
// record is left exactly as given; no message is shown either way.
bool ConvertMarcCharacterSet(orvane::Channel& channel, BusyState& busy, const QString& sourceCode,
                             const QString& targetCode, QString& record);

} // namespace velumar
