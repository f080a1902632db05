#include "search_indexes.h"

namespace orvane {

QString RecordTypeDisplayName(int recordType) {
    switch (recordType) {
    case 1:
        return QStringLiteral("Bibliographic");
    case 2:
        return QStringLiteral("Holdings");
    case 3:
        return QStringLiteral("Authority");
    default:
        return {};
    }
}

QString RecordTypeShortName(int recordType) {
    switch (recordType) {
    case 1:
        return QStringLiteral("Bib");
    case 2:
        return QStringLiteral("Mfhd");
    case 3:
        return QStringLiteral("Auth");
    default:
        return {};
    }
}

QList<SearchIndex> SearchIndexesFor(int recordType) {
    const SearchIndex keyword{QStringLiteral("Keyword"), QStringLiteral("KW")};
    switch (recordType) {
    case 1:
        return {keyword,
                {QStringLiteral("Title"), QStringLiteral("TI")},
                {QStringLiteral("Author"), QStringLiteral("AU")},
                {QStringLiteral("Subject"), QStringLiteral("SU")},
                {QStringLiteral("ISBN"), QStringLiteral("ISBN")},
                {QStringLiteral("ISSN"), QStringLiteral("ISSN")},
                {QStringLiteral("LCCN"), QStringLiteral("LCCN")},
                {QStringLiteral("035 control number"), QStringLiteral("035A")}};
    case 2:
        return {keyword, {QStringLiteral("035 control number"), QStringLiteral("H35A")}};
    case 3:
        return {keyword,
                {QStringLiteral("Authority heading"), QStringLiteral("AH")},
                {QStringLiteral("LCCN"), QStringLiteral("LCCN")},
                {QStringLiteral("035 control number"), QStringLiteral("A35A")}};
    default:
        return {};
    }
}

bool IsKeywordIndex(const QString& code) { return code == QLatin1String("KW"); }

} // namespace orvane
