// The one conversion between run date and time boxes and start time texts.
#include "date_time_conversion.h"

#include <QDateTime>
#include <gtest/gtest.h>

namespace orvane {
namespace {

TEST(DateTimeConversion, WritesTheJobDateForm) {
    EXPECT_EQ(DateTimeToText(QDate(2009, 3, 7), QTime(14, 5, 9)).toStdString(),
              "2009-03-07 14:05:09");
    EXPECT_EQ(DateTimeToText(QDate(2026, 12, 31), QTime(0, 0, 0)).toStdString(),
              "2026-12-31 00:00:00");
    EXPECT_EQ(DateTimeToText(QDateTime(QDate(2026, 1, 2), QTime(23, 59, 58))).toStdString(),
              "2026-01-02 23:59:58");
    EXPECT_TRUE(DateTimeToText(QDate(), QTime(1, 2, 3)).isEmpty());
    EXPECT_TRUE(DateTimeToText(QDate(2026, 1, 2), QTime()).isEmpty());
}

TEST(DateTimeConversion, ReadsOnlyTheJobDateForm) {
    const struct {
        const char* text;
        bool valid;
        QDate date;
        QTime time;
    } cases[] = {
        {"2009-03-07 14:05:09", true, QDate(2009, 3, 7), QTime(14, 5, 9)},
        {"  2026-12-31 00:00:00 ", true, QDate(2026, 12, 31), QTime(0, 0, 0)},
        {"2024-02-29 23:59:59", true, QDate(2024, 2, 29), QTime(23, 59, 59)},
        {"2023-02-29 12:00:00", false, {}, {}}, // no such day
        {"2026-01-01 24:00:00", false, {}, {}}, // no such hour
        {"2026-1-1 1:02:03", false, {}, {}},    // digits missing
        {"2026-01-01T10:00:00", false, {}, {}},
        {"2026-01-01", false, {}, {}},
        {"", false, {}, {}},
        {"07/03/2009 14:05:09", false, {}, {}},
    };
    for (const auto& c : cases) {
        const auto read = TextToDateTime(QString::fromLatin1(c.text));
        ASSERT_EQ(read.has_value(), c.valid) << c.text;
        if (!read)
            continue;
        EXPECT_EQ(read->date, c.date) << c.text;
        EXPECT_EQ(read->time, c.time) << c.text;
    }
}

TEST(DateTimeConversion, ATextReadBackWritesTheSameText) {
    for (const char* text : {"2009-03-07 14:05:09", "2030-10-01 08:00:00"}) {
        const auto read = TextToDateTime(QString::fromLatin1(text));
        ASSERT_TRUE(read) << text;
        EXPECT_EQ(DateTimeToText(read->date, read->time).toStdString(), text);
    }
}

} // namespace
} // namespace orvane
