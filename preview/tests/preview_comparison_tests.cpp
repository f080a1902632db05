// The line comparison of a record before and after: its lines in the text
// form, the cut of long lines with their links, the blocks, the marks and
// placeholders, and the changed parts of changed lines; on lines made here
// and on real records changed by real rules through the engine.
#include "group_runner.h"
#include "marc/record_view.h"
#include "preview_comparison.h"
#include "preview_record_lines.h"
#include "rule_group.h"
#include "tests/qt_printers.h"

#include <QFile>
#include <QHash>
#include <gtest/gtest.h>

namespace velumar {

void PrintTo(const PreviewSpan& span, std::ostream* out) {
    *out << "{" << span.Start << "," << span.Length << "}";
}
void PrintTo(const PreviewLink& link, std::ostream* out) {
    *out << "{" << link.FileLine << "->" << link.LineIndex << "}";
}

namespace {

QList<PreviewLine> linesOf(const QStringList& texts) {
    QList<PreviewLine> lines;
    QHash<QString, int> occurrences;
    for (const QString& text : texts) {
        PreviewLine line;
        line.Text = text;
        line.Tag = text.mid(1, 3);
        line.Occurrence = ++occurrences[line.Tag];
        lines.push_back(line);
    }
    return lines;
}

// A side as rows: the mark's sign and the text; "." for a placeholder.
QStringList rowsOf(const QList<PreviewLine>& lines) {
    static const char* const signs[] = {" ", "~", "-", "+"};
    QStringList rows;
    for (const PreviewLine& line : lines)
        rows.push_back(line.IsPlaceholder() ? QStringLiteral(".")
                                            : QString::fromLatin1(signs[line.Mark]) + line.Text);
    return rows;
}

// The text of each changed part of a line.
QStringList partsOf(const PreviewLine& line) {
    QStringList parts;
    for (const PreviewSpan& span : line.ChangedParts)
        parts.push_back(line.Text.mid(span.Start, span.Length));
    return parts;
}

struct GapCase {
    const char* name;
    QStringList before;
    QStringList after;
    QStringList beforeRows;
    QStringList afterRows;
};

TEST(PreviewComparison, EachKindOfDifferenceGetsItsMarksAndPlaceholders) {
    const QString ldr = QStringLiteral("=LDR  00100nam\\a2200049\\a\\4500");
    const std::vector<GapCase> cases{
        {"a field removed",
         {ldr, "=245  10$aRivers.", "=500  \\\\$aNote.", "=650  \\0$aRivers."},
         {ldr, "=245  10$aRivers.", "=650  \\0$aRivers."},
         {" " + ldr, " =245  10$aRivers.", "-=500  \\\\$aNote.", " =650  \\0$aRivers."},
         {" " + ldr, " =245  10$aRivers.", ".", " =650  \\0$aRivers."}},
        {"a field added",
         {ldr, "=245  10$aRivers.", "=650  \\0$aRivers."},
         {ldr, "=245  10$aRivers.", "=500  \\\\$aNote.", "=650  \\0$aRivers."},
         {" " + ldr, " =245  10$aRivers.", ".", " =650  \\0$aRivers."},
         {" " + ldr, " =245  10$aRivers.", "+=500  \\\\$aNote.", " =650  \\0$aRivers."}},
        {"a field changed",
         {"=245  10$aRivers.", "=650  \\0$aRivers$zFrance."},
         {"=245  10$aRivers.", "=650  \\0$aRivers$zSpain."},
         {" =245  10$aRivers.", "~=650  \\0$aRivers$zFrance."},
         {" =245  10$aRivers.", "~=650  \\0$aRivers$zSpain."}},
        {"letter case is no difference",
         {"=245  10$aRivers."},
         {"=245  10$aRIVERS."},
         {" =245  10$aRivers."},
         {" =245  10$aRIVERS."}},
        {"removed, changed and added at once",
         {"=100  1\\$aSmith.", "=245  10$aRivers.", "=650  \\0$aLakes.", "=949  \\\\$aLocal"},
         {"=245  10$aStreams.", "=590  \\\\$aLocal", "=650  \\0$aLakes."},
         {"-=100  1\\$aSmith.", "~=245  10$aRivers.", ".", " =650  \\0$aLakes.",
          "-=949  \\\\$aLocal"},
         {".", "~=245  10$aStreams.", "+=590  \\\\$aLocal", " =650  \\0$aLakes.", "."}},
        {"lines of one tag pair before the surplus is taken",
         {"=500  \\\\$aFirst.", "=500  \\\\$aSecond."},
         {"=500  \\\\$aOnly."},
         {"~=500  \\\\$aFirst.", "-=500  \\\\$aSecond."},
         {"~=500  \\\\$aOnly.", "."}},
        {"a surplus line that sorts first is its own",
         {"=650  \\0$aRivers."},
         {"=600  10$aSmith.", "=650  \\0$aStreams."},
         {".", "~=650  \\0$aRivers."},
         {"+=600  10$aSmith.", "~=650  \\0$aStreams."}},
        {"only the writer's numbers in the leader",
         {"=LDR  00100nam\\a2200049\\a\\4500", "=001  1"},
         {"=LDR  00321nam\\a2200061\\a\\4500", "=001  1"},
         {" =LDR  00100nam\\a2200049\\a\\4500", " =001  1"},
         {" =LDR  00321nam\\a2200061\\a\\4500", " =001  1"}},
        {"a record status in the leader",
         {"=LDR  00100nam\\a2200049\\a\\4500"},
         {"=LDR  00100dam\\a2200049\\a\\4500"},
         {"~=LDR  00100nam\\a2200049\\a\\4500"},
         {"~=LDR  00100dam\\a2200049\\a\\4500"}},
        {"everything removed",
         {"=500  \\\\$aA", "=500  \\\\$aB"},
         {},
         {"-=500  \\\\$aA", "-=500  \\\\$aB"},
         {".", "."}},
    };
    for (const GapCase& c : cases) {
        SCOPED_TRACE(c.name);
        const PreviewComparison result = ComparePreviewLines(linesOf(c.before), linesOf(c.after));
        EXPECT_EQ(rowsOf(result.Before), c.beforeRows);
        EXPECT_EQ(rowsOf(result.After), c.afterRows);
    }
}

TEST(PreviewComparison, EqualRecordsGiveNoBlocksAndNoMarks) {
    const QStringList texts{"=LDR  00100nam\\a2200049\\a\\4500", "=001  1", "=245  10$aRivers.",
                            "=500  \\\\$a" + QString(200, QLatin1Char('x'))};
    const PreviewComparison result = ComparePreviewLines(linesOf(texts), linesOf(texts));
    EXPECT_TRUE(result.Differences.isEmpty());
    for (const auto* side : {&result.Before, &result.After}) {
        ASSERT_EQ(side->size(), 4);
        for (const PreviewLine& line : *side) {
            EXPECT_EQ(line.Mark, MarkUnchanged) << line.Text.toStdString();
            EXPECT_TRUE(line.ChangedParts.isEmpty());
        }
    }
    // The 206-character line is two comparison lines of one line.
    EXPECT_EQ(result.BeforeLinks, (QList<PreviewLink>{{1, 0}, {2, 1}, {3, 2}, {4, 3}, {5, 3}}));
    EXPECT_EQ(result.AfterLinks, result.BeforeLinks);
}

TEST(PreviewComparison, ALongLineIsCutIntoPiecesOf110ThatLinkToIt) {
    const QString content = QStringLiteral("=505  0\\$a") + QString(240, QLatin1Char('c'));
    ASSERT_EQ(content.size(), 250);
    const PreviewComparison removed = ComparePreviewLines(
        linesOf({"=001  1", content, "=650  \\0$aB"}), linesOf({"=001  1", "=650  \\0$aB"}));

    EXPECT_EQ(removed.BeforeLinks, (QList<PreviewLink>{{1, 0}, {2, 1}, {3, 1}, {4, 1}, {5, 2}}));
    ASSERT_EQ(removed.Differences.size(), 1);
    const PreviewDiff& block = removed.Differences[0];
    EXPECT_TRUE(block.AfterLines.isEmpty());
    ASSERT_EQ(block.BeforeLines.size(), 3);
    EXPECT_EQ(block.BeforeLines[0], (NumberedLine{2, content.left(110)}));
    EXPECT_EQ(block.BeforeLines[1], (NumberedLine{3, content.mid(110, 110)}));
    EXPECT_EQ(block.BeforeLines[2], (NumberedLine{4, content.mid(220)}));
    EXPECT_EQ(block.BeforeLines[2].Text.size(), 30);
    // One line deleted, one placeholder opposite, whatever the number of pieces.
    EXPECT_EQ(rowsOf(removed.After), (QStringList{" =001  1", ".", " =650  \\0$aB"}));
    EXPECT_EQ(removed.AfterLinks, (QList<PreviewLink>{{1, 0}, {2, 2}}));

    // A change in the last piece only marks the whole line, and its subfield.
    QString changed = content;
    changed[245] = QLatin1Char('X');
    const PreviewComparison edited =
        ComparePreviewLines(linesOf({"=001  1", content}), linesOf({"=001  1", changed}));
    ASSERT_EQ(edited.Differences.size(), 1);
    EXPECT_EQ(edited.Differences[0].BeforeLines, (QList<NumberedLine>{{4, content.mid(220)}}));
    EXPECT_EQ(edited.Differences[0].AfterLines, (QList<NumberedLine>{{4, changed.mid(220)}}));
    EXPECT_EQ(edited.After[1].Mark, MarkChanged);
    EXPECT_EQ(partsOf(edited.After[1]), QStringList{changed.mid(8)});
}

TEST(PreviewComparison, AChangedLineMarksOnlyWhatChangedInIt) {
    struct PartCase {
        const char* name;
        QString before, after;
        QStringList beforeParts, afterParts;
    };
    const std::vector<PartCase> cases{
        {"one subfield of several",
         "=650  \\0$aRivers$zFrance.$xHistory.",
         "=650  \\0$aRivers$zSpain.$xHistory.",
         {"$zFrance."},
         {"$zSpain."}},
        {"a subfield added",
         "=245  10$aRivers.",
         "=245  10$aRivers.$h[electronic resource]",
         {},
         {"$h[electronic resource]"}},
        {"the indicators", "=245  10$aRivers.", "=245  14$aRivers.", {"10"}, {"14"}},
        {"positions of a control field",
         "=008  870818t18941887miu",
         "=008  870818s18941887xxu",
         {"t", "mi"},
         {"s", "xx"}},
        {"the tag", "=650  \\0$aRivers.", "=690  \\0$aRivers.", {"650"}, {"690"}},
    };
    for (const PartCase& c : cases) {
        SCOPED_TRACE(c.name);
        const PreviewComparison result =
            ComparePreviewLines(linesOf({c.before}), linesOf({c.after}));
        ASSERT_EQ(result.Before.size(), 1);
        EXPECT_EQ(result.Before[0].Mark, MarkChanged);
        EXPECT_EQ(partsOf(result.Before[0]), c.beforeParts);
        EXPECT_EQ(partsOf(result.After[0]), c.afterParts);
    }
}

TEST(PreviewRecordLines, ARecordIsItsLeaderThenOneLinePerFieldInTheTextForm) {
    QFile file(QStringLiteral(VELUMAR_MARC_DATA_DIR "/m4j_sample1.mrc"));
    if (!file.open(QIODevice::ReadOnly))
        GTEST_SKIP() << "the MARC sample folder " << VELUMAR_MARC_DATA_DIR
                     << " lacks m4j_sample1.mrc";
    const QByteArray bytes = file.readAll();
    const qsizetype length = bytes.left(5).toInt();
    QString why;
    const auto lines = PreviewLinesOf(QString::fromLatin1(bytes.left(length)), why);
    ASSERT_TRUE(lines) << why.toStdString();
    ASSERT_EQ(lines->size(), 22);
    EXPECT_EQ((*lines)[0].Text, "=LDR  01025cam\\a2200277Ia\\45{02}0");
    EXPECT_EQ((*lines)[0].Tag, "LDR");
    EXPECT_EQ((*lines)[6].Text, "=035  \\\\$a(NBYdb)370589");
    EXPECT_EQ((*lines)[6].Tag, "035");
    EXPECT_EQ((*lines)[6].Occurrence, 2);
    EXPECT_EQ((*lines)[11].Text, "=245  10$aSeven financial conspiracies which have enslaved the "
                                 "American people /$cby Sarah E.V. Emery.");

    // Not one well-formed record: the parser's reason, or none.
    EXPECT_FALSE(PreviewLinesOf(QString::fromLatin1(bytes.left(length - 1)), why));
    EXPECT_FALSE(why.isEmpty());
    EXPECT_FALSE(PreviewLinesOf(QString(), why));
    EXPECT_FALSE(PreviewLinesOf(QStringLiteral("00026\u20ac"), why));
}

// Real records of a real file, changed by a real rule set group through the
// engine: a field removed, one added and one changed, all at once.
TEST(PreviewComparison, RealRecordsChangedByRealRulesShowExactlyTheChanges) {
    QFile file(QStringLiteral(VELUMAR_MARC_DATA_DIR "/m4j_sample1.mrc"));
    if (!file.open(QIODevice::ReadOnly))
        GTEST_SKIP() << "the MARC sample folder " << VELUMAR_MARC_DATA_DIR
                     << " lacks m4j_sample1.mrc";
    const std::string bytes = file.readAll().toStdString();
    const std::string rules =
        "# Clean-up\r\n"
        "rule \"Local fields\"\r\n#priority n\r\n  when\r\n    MARC is \"9\"XX\r\n  then\r\n"
        "    remove MARC.\"9XX\"\r\nend\r\n\r\n"
        "rule \"Checked\"\r\n#priority n\r\n  when\r\n    MARC is \"245\"\r\n  then\r\n"
        "    create MARC.\"500\"(\" \",\" \")\r\n"
        "    create MARC.\"500\" subfield \"a\" with \"Checked.\"\r\nend\r\n\r\n"
        "rule \"Subjects\"\r\n#priority n\r\n  when\r\n    MARC is \"650\"\r\n  then\r\n"
        "    set MARC.\"650\".\"a\" to \"Money.\"\r\nend\r\n";
    const auto compiled = engine::RuleGroup::compile({{"Clean-up", rules}});
    ASSERT_TRUE(compiled.group) << (compiled.errors.empty() ? "" : compiled.errors[0]);
    engine::GroupRunner runner(*compiled.group, {});

    int records = 0;
    for (std::size_t at = 0; at + 5 <= bytes.size(); ++records) {
        const std::size_t length = std::stoul(bytes.substr(at, 5));
        const std::string octets = bytes.substr(at, length);
        at += length;
        const auto parsed = marc::parseRecord(std::string_view(octets));
        ASSERT_TRUE(parsed.record);
        if (parsed.record->recordType() != marc::RecordType::Bibliographic)
            continue;
        const engine::RecordOutcome outcome = runner.apply(*parsed.record, {});
        ASSERT_EQ(outcome.outcome, engine::Outcome::Changed);
        QString why;
        const auto before = PreviewLinesOf(QString::fromLatin1(octets), why);
        const auto after = PreviewLinesOf(QString::fromLatin1(outcome.record), why);
        ASSERT_TRUE(before && after) << why.toStdString();

        const PreviewComparison result = ComparePreviewLines(*before, *after);
        ASSERT_EQ(result.Before.size(), result.After.size());
        int removed = 0, added = 0;
        for (int row = 0; row < result.Before.size(); ++row) {
            const PreviewLine& was = result.Before[row];
            const PreviewLine& is = result.After[row];
            SCOPED_TRACE(was.Text.toStdString() + " | " + is.Text.toStdString());
            if (was.Tag.startsWith(QLatin1Char('9'))) {
                ++removed;
                EXPECT_EQ(was.Mark, MarkDeleted);
                EXPECT_TRUE(is.IsPlaceholder());
            } else if (is.Text == QLatin1String("=500  \\\\$aChecked.")) {
                ++added;
                EXPECT_EQ(is.Mark, MarkInserted);
                EXPECT_TRUE(was.IsPlaceholder());
            } else if (was.Tag == QLatin1String("650") && !was.Text.contains("$aMoney.")) {
                EXPECT_EQ(was.Mark, MarkChanged);
                EXPECT_EQ(is.Mark, MarkChanged);
                EXPECT_EQ(partsOf(is), QStringList{"$aMoney."});
                EXPECT_TRUE(partsOf(was).front().startsWith("$a"));
            } else {
                // Everything else stays as it was, side by side.
                EXPECT_EQ(was.Mark, MarkUnchanged);
                EXPECT_EQ(is.Mark, MarkUnchanged);
                EXPECT_EQ(was.Tag, is.Tag);
                if (was.Tag != QLatin1String("LDR")) {
                    EXPECT_EQ(was.Text, is.Text);
                }
            }
        }
        int ninesBefore = 0;
        for (const PreviewLine& line : *before)
            ninesBefore += line.Tag.startsWith(QLatin1Char('9'));
        EXPECT_EQ(removed, ninesBefore);
        EXPECT_EQ(added, 1);
    }
    EXPECT_GT(records, 5);
}

} // namespace
} // namespace velumar
