#pragma once
// The display columns of found records, fetched a page at a time with
// "CATALOGUE_BRIEF" so a large result fills its grid as it arrives.

#include <QList>
#include <QString>
#include <QtGlobal>

namespace orvane {

class Channel;

struct BriefLine {
    qint32 id = 0;
    QString title; // title, heading or shelf place; empty when the record is gone
    QString date;
};

inline constexpr int BriefPageSize = 100;

// Fetches the lines of `ids` (at most 1000) in the order given. Answers the
// request's status; `lines` is filled only on 0.
qint16 FetchBriefLines(Channel& channel, const QString& operatorId, int recordType,
                       const QList<qint32>& ids, QList<BriefLine>& lines);

} // namespace orvane
