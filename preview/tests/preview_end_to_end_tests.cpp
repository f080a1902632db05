// The preview manager against the embedded server: real rules applied to
// demo records with nothing saved, the marks they give, a deletion, a set
// walked and emptied, and an operator without the preview right.
#include "demo_preview.h"
#include "tests/qt_printers.h"

namespace velumar {
namespace {

using testing::PreviewClient;
using testing::Rule;

class PreviewEndToEnd : public testing::PreviewDemo {};

QStringList partsOf(const PreviewLine& line) {
    QStringList parts;
    for (const PreviewSpan& span : line.ChangedParts)
        parts.push_back(line.Text.mid(span.Start, span.Length));
    return parts;
}

TEST_F(PreviewEndToEnd, RealRulesOnADemoRecordMarkWhatTheyChangedAndSaveNothing) {
    PreviewClient demo(db, "demo");
    const RuleSet group = demo.group(
        "Review", Rule("Drop ISBN", {"MARC is \"020\""}, {"remove MARC.\"020\""}) +
                      Rule("Note", {"MARC is \"245\""},
                           {"create MARC.\"500\"(\" \",\" \")",
                            "create MARC.\"500\" subfield \"a\" with \"Reviewed.\""}) +
                      Rule("Places", {"MARC is \"650\""}, {"remove MARC.\"650\" subfield \"z\""}));
    Preview& preview = demo.preview();
    preview.StartRecord(1, 1, group, QString());

    ASSERT_TRUE(preview.Load());
    EXPECT_EQ(preview.Messages(),
              (QStringList{"Rule fired: Drop ISBN", "Rule fired: Note", "Rule fired: Places"}));
    const auto& before = preview.BeforeLines();
    const auto& after = preview.AfterLines();
    ASSERT_EQ(before.size(), after.size());
    QStringList rows;
    for (int row = 0; row < before.size(); ++row) {
        const PreviewLine& was = before[row];
        const PreviewLine& is = after[row];
        if (was.Mark == MarkUnchanged && is.Mark == MarkUnchanged) {
            EXPECT_EQ(was.Tag, is.Tag);
            continue;
        }
        rows.push_back(QString::number(was.Mark) + was.Tag + "|" + QString::number(is.Mark) +
                       is.Tag);
        if (was.Tag == "650") {
            EXPECT_TRUE(partsOf(was).front().startsWith("$z")) << was.Text.toStdString();
            EXPECT_TRUE(partsOf(is).isEmpty());
            EXPECT_FALSE(is.Text.contains("$z"));
        }
    }
    // The ISBN gone, the note added, the subject changed; nothing else.
    EXPECT_EQ(rows, (QStringList{"2020|0", "0|3500", "1650|1650"}));
    EXPECT_FALSE(preview.Differences().isEmpty());

    // Nothing was saved: the same preview again shows the same record before.
    const QString first = preview.BeforeRecord();
    ASSERT_TRUE(preview.Load());
    EXPECT_EQ(preview.BeforeRecord(), first);
    EXPECT_TRUE(demo.platform.Messages().empty());
}

TEST_F(PreviewEndToEnd, ADeletionIsSaidFirstWithBothRecordsShown) {
    PreviewClient demo(db, "demo");
    const RuleSet group = demo.group("Drop names", Rule("Names", {"MARC is \"100\""}, {"DELETE"}));
    const RecordSet& names = demo.recordSet("Names to drop", {1, 2}, 3);
    Preview& preview = demo.preview();
    preview.StartRecordSet(names, group, QString());

    ASSERT_TRUE(preview.Load(0));
    EXPECT_EQ(preview.Messages(),
              (QStringList{"Rule execution causes record to be deleted.", "Rule fired: Names"}));
    EXPECT_EQ(preview.RecordId(), 1);
    EXPECT_EQ(preview.Index(), 1);
    EXPECT_EQ(preview.RecordSetCount(), 2);
    EXPECT_FALSE(preview.BeforeLines().isEmpty());
    EXPECT_EQ(preview.BeforeLines().size(), preview.AfterLines().size());
    for (const PreviewLine& line : preview.AfterLines())
        EXPECT_EQ(line.Mark, MarkUnchanged);
}

TEST_F(PreviewEndToEnd, ASetWalkedAndEmptiedEndsWithNoRecords) {
    PreviewClient demo(db, "demo");
    const RuleSet group = demo.group("Nothing here", Rule("None", {"MARC is \"999\""}, {"DELETE"}));
    const RecordSet& set = demo.recordSet("Short walk", {4, 9});
    Preview& preview = demo.preview();
    preview.StartRecordSet(set, group, QString());

    ASSERT_TRUE(preview.Load(0));
    ASSERT_TRUE(preview.Load(1));
    EXPECT_EQ(preview.RecordId(), 9);
    EXPECT_EQ(preview.Index(), 2);
    demo.platform.AnswerNext(MessageAnswer::Yes);
    ASSERT_TRUE(preview.RemoveRecordFromSet());
    ASSERT_TRUE(preview.Load(0));
    EXPECT_EQ(preview.RecordId(), 4);
    EXPECT_EQ(preview.Index(), 1);
    EXPECT_EQ(preview.RecordSetCount(), 1);
    demo.platform.AnswerNext(MessageAnswer::Yes);
    ASSERT_TRUE(preview.RemoveRecordFromSet());
    demo.platform.Clear();

    EXPECT_FALSE(preview.Load(0));
    EXPECT_EQ(demo.platform.Texts(), QStringList{"No records in record set."});
    EXPECT_EQ(preview.RecordSetCount(), 0);
}

TEST_F(PreviewEndToEnd, AnOperatorWithoutThePreviewRightIsRefusedByTheServer) {
    PreviewClient demo(db, "demo");
    const RuleSet group = demo.group("Viewed", Rule("None", {"MARC is \"999\""}, {"DELETE"}));
    PreviewClient viewer(db, "viewer");
    viewer.preview().StartRecord(1, 1, group, QString());

    EXPECT_FALSE(viewer.preview().Load());
    EXPECT_EQ(
        viewer.platform.Messages(),
        (std::vector<ShownMessage>{{"", "Operator not authorized to preview records.",
                                    MessageIcon::None, MessageButtons::Ok, MessageAnswer::Ok}}));
}

} // namespace
} // namespace velumar
