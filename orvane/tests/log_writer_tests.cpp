#include "log_writer.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace orvane {
namespace {

QStringList linesOf(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
}

TEST(LogWriter, AppendsTimestampedLinesCreatingTheFolder) {
    QTemporaryDir dir;
    const QString path = dir.filePath("nested/folder/velumar.log");
    const LogWriter log(path);
    ASSERT_TRUE(log.write("first entry"));
    ASSERT_TRUE(LogWriter(path).write(QString::fromUtf8("second: Müller")));

    const QStringList lines = linesOf(path);
    ASSERT_EQ(lines.size(), 2);
    const QRegularExpression form(R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} first entry$)");
    EXPECT_TRUE(form.match(lines[0]).hasMatch()) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].endsWith(QString::fromUtf8(" second: Müller")));
}

TEST(LogWriter, AnEntryStaysOneLine) {
    QTemporaryDir dir;
    const LogWriter log(dir.filePath("velumar.log"));
    log.write("a\nb\r\nc");
    const QStringList lines = linesOf(log.path());
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].endsWith(" a b c"));
}

} // namespace
} // namespace orvane
