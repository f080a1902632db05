// Name inputs held to the server's limit in octets of UTF-8, and long names
// broken into lines for message boxes.
#include "message_text.h"
#include "text_limit.h"

#include <QLineEdit>
#include <gtest/gtest.h>

namespace orvane {
namespace {

TEST(TextLimit, CutsAtTheLastWholeCharacterThatFits) {
    const QString e = QString::fromUtf8("\xc3\xa9");         // 2 octets
    const QString clef = QString::fromUtf8("\xf0\x9d\x84\x9e"); // 4 octets, a surrogate pair
    struct Case {
        QString text;
        std::size_t octets;
        QString kept;
    };
    const std::vector<Case> cases{
        {"abc", 3, "abc"},       {"abcd", 3, "abc"},           {"a" + e, 2, "a"},
        {"a" + e, 3, "a" + e},   {"ab" + clef, 5, "ab"},       {"ab" + clef, 6, "ab" + clef},
        {clef + clef, 7, clef},  {"", 0, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CutToOctets(c.text, c.octets), c.kept) << c.text.toStdString() << " " << c.octets;
}

TEST(TextLimit, ANameFieldTakesTheServersLimitInOctetsAndNoMore) {
    EXPECT_EQ(NameOctets, 255u);
    QLineEdit field;
    LimitToOctets(field, NameOctets);
    field.insert(QString(254, 'n'));
    field.insert(QString::fromUtf8("\xc3\xa9")); // 256 octets: refused
    EXPECT_EQ(field.text().toUtf8().size(), 254);
    field.insert("x");
    EXPECT_EQ(field.text().toUtf8().size(), 255);
    field.insert("y");
    EXPECT_EQ(field.text().toUtf8().size(), 255);

    // 255 characters of two octets each: 510 octets, which the server refuses.
    QLineEdit accented;
    LimitToOctets(accented, NameOctets);
    accented.insert(QString(255, QChar(0xe9)));
    EXPECT_LE(accented.text().toUtf8().size(), 255);
}

TEST(MessageText, LongNamesAreBrokenIntoLinesAndVeryLongOnesCutInTheMiddle) {
    EXPECT_EQ(NameForMessage("Weekly catalogue check"), "Weekly catalogue check");
    EXPECT_EQ(NameForMessage(QString(60, 'a')), QString(60, 'a'));
    EXPECT_EQ(NameForMessage(QString(130, 'a')),
              QString(60, 'a') + "\r\n" + QString(60, 'a') + "\r\n" + QString(10, 'a'));
    // Broken after the last space that fits.
    const QString words = QString(50, 'w') + " " + QString(30, 'v');
    EXPECT_EQ(NameForMessage(words), QString(50, 'w') + "\r\n" + QString(30, 'v'));
    const QString huge = QString(200, 'h') + QString(200, 't');
    const QString shown = NameForMessage(huge).remove("\r\n");
    EXPECT_EQ(shown, QString(148, 'h') + "..." + QString(148, 't'));
    for (const QString& line : NameForMessage(huge).split("\r\n"))
        EXPECT_LE(line.size(), 60);
}

} // namespace
} // namespace orvane
