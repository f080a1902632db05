#include "brief_lines.h"

#include "channel.h"

namespace orvane {

qint16 FetchBriefLines(Channel& channel, const QString& operatorId, int recordType,
                       const QList<qint32>& ids, QList<BriefLine>& lines) {
    lines.clear();
    channel.AddNumericField(QStringLiteral("RT"), recordType);
    for (const qint32 id : ids)
        channel.AddNumericField(QStringLiteral("RID"), id);
    channel.AddField(QStringLiteral("OI"), operatorId);
    const qint16 status = channel.SendRequest(QStringLiteral("CATALOGUE_BRIEF"));
    if (status != 0)
        return status;
    while (channel.NextRecord(QStringLiteral("RID")))
        lines.push_back({channel.GetNumericField(QStringLiteral("RID")),
                         channel.GetField(QStringLiteral("TI")),
                         channel.GetField(QStringLiteral("DT"))});
    return 0;
}

} // namespace orvane
