#pragma once
// Puts found records into a record set on the server: lists the sets of a
// record type, creates a set, and sends ids to one in batches of 1000.
// Each operation answers the request's status; StatusText says it in words.

#include <QList>
#include <QString>
#include <QtGlobal>

namespace orvane {

class Channel;

struct TargetSet {
    qint32 id = 0;
    QString name;
    QString creator;
    qint32 count = 0; // ids held, as listed
};

class RecordSetFiller {
public:
    static constexpr int BatchSize = 1000;

    RecordSetFiller(Channel& channel, QString operatorId);

    // The sets of this record type, in the server's order (by name).
    qint16 LoadSets(int recordType, QList<TargetSet>& sets);
    qint16 CreateSet(const QString& name, int recordType, qint32& id);
    // Stops at the first batch that fails; `notAdded` gathers the ids the
    // server found no record of the set's type for.
    qint16 AddIds(qint32 setId, const QList<qint32>& ids, QList<qint32>& notAdded);

    enum class Operation { LoadSets, CreateSet, AddIds };
    static QString StatusText(Operation operation, qint16 status);

private:
    Channel& channel_;
    QString operatorId_;
};

} // namespace orvane
