#include "preview_messages.h"

namespace velumar {

QString DispositionMessage(int code) {
    switch (code) {
    case 1:
        return QStringLiteral("Bibliographic record has no holdings, so no rules were applied.");
    case 2:
        return QStringLiteral(
            "No locations in user profile match holdings locations, so no rules were applied.");
    case 4:
        return QStringLiteral("Rule execution failed.");
    case 5:
        return QStringLiteral("Rule execution causes record to be deleted.");
    case 6:
        return QStringLiteral("Rule execution would cause record to be deleted, but operator "
                              "lacks delete permission.");
    case 7:
        return QStringLiteral("Rule failed to compile.");
    case 8:
        return QStringLiteral("Rule execution would cause record to be deleted, but it won't be "
                              "deleted because it has holdings.");
    case 9:
        return QStringLiteral("Rule execution would cause record to be deleted, but it won't be "
                              "deleted because it has items or orders.");
    default:
        return {};
    }
}

QString ParseFailureMessage(const QString& side, const QString& reason) {
    return QStringLiteral("Could not parse '") + side + QStringLiteral("' record - ") +
           (reason.isEmpty() ? QStringLiteral("invalid MARC record.") : reason);
}

} // namespace velumar
