#include "date_time_conversion.h"

#include <QDateTime>
#include <QRegularExpression>

namespace orvane {

namespace {

const QString DateFormat = QStringLiteral("yyyy-MM-dd");
const QString TimeFormat = QStringLiteral("HH:mm:ss");

} // namespace

QString DateTimeToText(const QDate& date, const QTime& time) {
    if (!date.isValid() || !time.isValid())
        return {};
    return date.toString(DateFormat) + QLatin1Char(' ') + time.toString(TimeFormat);
}

QString DateTimeToText(const QDateTime& dateTime) {
    return DateTimeToText(dateTime.date(), dateTime.time());
}

std::optional<DateAndTime> TextToDateTime(const QString& text) {
    // Exactly the digits of the form: Qt's own parsing would also take "2009-3-7".
    static const QRegularExpression form(
        QStringLiteral("^(\\d{4}-\\d{2}-\\d{2}) (\\d{2}:\\d{2}:\\d{2})$"));
    const QRegularExpressionMatch match = form.match(text.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    const QDate date = QDate::fromString(match.captured(1), DateFormat);
    const QTime time = QTime::fromString(match.captured(2), TimeFormat);
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    return DateAndTime{date, time};
}

} // namespace orvane
