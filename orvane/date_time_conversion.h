#pragma once
// The date and time conversion of the general helper object: a run date and
// a run time to and from the text jobs carry their start times in,
// "yyyy-mm-dd hh:mm:ss" (24-hour clock, local time). Everything that sends
// or shows a start time converts here, so they all agree on the form.

#include <QDate>
#include <QString>
#include <QTime>
#include <optional>

class QDateTime;

namespace orvane {

struct DateAndTime {
    QDate date;
    QTime time;
};

// "2009-03-07 14:05:09"; empty when the date or the time is not valid.
QString DateTimeToText(const QDate& date, const QTime& time);
QString DateTimeToText(const QDateTime& dateTime);

// The date and time of a text in that form (spaces around allowed); none
// for any other text, or for a day or hour that does not exist.
std::optional<DateAndTime> TextToDateTime(const QString& text);

} // namespace orvane
