#pragma once
// What the search window offers: the record types and, per type, the
// indexes the catalogue keeps for it.

#include <QList>
#include <QString>

namespace orvane {

struct SearchIndex {
    QString caption; // with its access key
    QString code;    // as CATALOGUE_SEARCH names it
};

// 1 "Bibliographic", 2 "Holdings", 3 "Authority"; empty for any other number.
QString RecordTypeDisplayName(int recordType);
// "Bib", "Mfhd", "Auth".
QString RecordTypeShortName(int recordType);
QList<SearchIndex> SearchIndexesFor(int recordType);
// Keyword searches are not truncated automatically: a word's prefix alone finds too much.
bool IsKeywordIndex(const QString& code);

} // namespace orvane
