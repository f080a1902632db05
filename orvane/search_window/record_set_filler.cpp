#include "record_set_filler.h"

#include "channel.h"

#include <utility>

namespace orvane {

namespace {
constexpr qint16 Listed = 55; // no sets to list: as good as 0
constexpr qint16 NameInUse = 4;
constexpr qint16 NotAuthorized = 6;
} // namespace

RecordSetFiller::RecordSetFiller(Channel& channel, QString operatorId)
    : channel_(channel), operatorId_(std::move(operatorId)) {}

qint16 RecordSetFiller::LoadSets(int recordType, QList<TargetSet>& sets) {
    sets.clear();
    channel_.AddField(QStringLiteral("OI"), operatorId_);
    qint16 status = channel_.SendRequest(QStringLiteral("GET_RECORD_SETS"));
    if (status == Listed)
        status = 0;
    if (status != 0)
        return status;
    while (channel_.NextRecord(QStringLiteral("RSID"))) {
        if (channel_.GetNumericField(QStringLiteral("RT")) != recordType)
            continue;
        sets.push_back({channel_.GetNumericField(QStringLiteral("RSID")),
                        channel_.GetField(QStringLiteral("RSN")),
                        channel_.GetField(QStringLiteral("RSCO")),
                        channel_.GetNumericField(QStringLiteral("RSC"))});
    }
    return 0;
}

qint16 RecordSetFiller::CreateSet(const QString& name, int recordType, qint32& id) {
    id = -1;
    channel_.AddField(QStringLiteral("RSN"), name);
    channel_.AddNumericField(QStringLiteral("RST"), 1);
    channel_.AddNumericField(QStringLiteral("RT"), recordType);
    channel_.AddField(QStringLiteral("OI"), operatorId_);
    const qint16 status = channel_.SendRequest(QStringLiteral("ADD_RECORD_SET"));
    if (status == 0)
        id = channel_.GetNumericField(QStringLiteral("RSID"));
    return status;
}

qint16 RecordSetFiller::AddIds(qint32 setId, const QList<qint32>& ids, QList<qint32>& notAdded) {
    notAdded.clear();
    for (qsizetype from = 0; from < ids.size(); from += BatchSize) {
        channel_.AddField(QStringLiteral("OI"), operatorId_);
        channel_.AddNumericField(QStringLiteral("RSID"), setId);
        for (const qint32 id : ids.mid(from, BatchSize))
            channel_.AddNumericField(QStringLiteral("RID"), id);
        const qint16 status = channel_.SendRequest(QStringLiteral("ADD_TO_RECORD_SET"));
        if (status != 0)
            return status;
        while (channel_.NextRecord(QStringLiteral("RID")))
            notAdded.push_back(channel_.GetNumericField(QStringLiteral("RID")));
    }
    return 0;
}

QString RecordSetFiller::StatusText(Operation operation, qint16 status) {
    switch (operation) {
    case Operation::LoadSets:
        return status == NotAuthorized ? QStringLiteral("Operator not authorized to view record sets.")
                                       : QStringLiteral("Failed to load existing record sets.");
    case Operation::CreateSet:
        if (status == NameInUse)
            return QStringLiteral(
                "Record set name is already in use. Please select a different name.");
        return status == NotAuthorized ? QStringLiteral("Operator not authorized to add record set.")
                                       : QStringLiteral("Failed to add record set.");
    case Operation::AddIds:
        break;
    }
    return status == NotAuthorized ? QStringLiteral("Operator not authorized to add to record set.")
                                   : QStringLiteral("Failed to add record(s) to set.");
}

} // namespace orvane
