#include "charsets/marc_charset_conversion.h"

#include "channel.h"
#include "session/busy_state.h"

namespace velumar {

bool ConvertMarcCharacterSet(orvane::Channel& channel, BusyState& busy, const QString& sourceCode,
                             const QString& targetCode, QString& record) {
    const BusyGuard guard(busy);
    channel.AddField(QStringLiteral("CSI"), sourceCode);
    channel.AddField(QStringLiteral("CSO"), targetCode);
    channel.AddField(QStringLiteral("MR"), record);
    if (channel.SendRequest(QStringLiteral("CONVERTMARCCHARSET")) != 0)
        return false;
    record = channel.GetField(QStringLiteral("MR"));
    return true;
}

} // namespace velumar
