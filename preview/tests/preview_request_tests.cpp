// The preview manager against the scripted server: the exact fields of each
// request in both modes, the answer read back, every disposition code with
// its message, the failures and their messages, a side that cannot be read,
// and taking a record out of the set.
#include "preview_messages.h"
#include "scripted_preview.h"
#include "session/busy_state.h"
#include "tests/qt_printers.h"

namespace velumar {
namespace {

using orvane::wire::Answer;
using orvane::wire::Fields;

const std::string Before = "=LDR  00000nam\\a2200000\\a\\4500\n=001  101\n"
                           "=245  10$aRivers.\n=650  \\0$aRivers$zFrance.\n";
const std::string After = "=LDR  00000nam\\a2200000\\a\\4500\n=001  101\n"
                          "=245  10$aRivers.\n=500  \\\\$aChecked.\n=650  \\0$aRivers.\n";

class PreviewRequests : public testing::ScriptedPreview {
protected:
    Answer previewed(Fields extra = {}) {
        Answer answer{0, {{"BR", testing::wireRecord(Before)}, {"AR", testing::wireRecord(After)}}};
        answer.fields.insert(answer.fields.end(), extra.begin(), extra.end());
        return answer;
    }
    QStringList texts(const QList<PreviewLine>& lines) {
        QStringList out;
        for (const PreviewLine& line : lines)
            out.push_back(line.Text);
        return out;
    }
};

TEST_F(PreviewRequests, ASingleRecordSendsItsIdTypeAndGroup) {
    transport->queue("PREVIEW_RECORD", previewed());
    preview().StartRecord(101, 1, group(7, "Monthly clean-up"), QString());

    ASSERT_TRUE(preview().Load());

    EXPECT_EQ(sentFields("PREVIEW_RECORD"),
              (Fields{{"RID", 101}, {"RT", 1}, {"ID", 7}, {"OI", "jsmith"}}));
    EXPECT_EQ(texts(preview().BeforeLines()),
              (QStringList{"=LDR  00098nam\\a2200061\\a\\4500", "=001  101", "=245  10$aRivers.",
                           QString(), "=650  \\0$aRivers$zFrance."}));
    EXPECT_EQ(texts(preview().AfterLines()),
              (QStringList{"=LDR  00115nam\\a2200073\\a\\4500", "=001  101", "=245  10$aRivers.",
                           "=500  \\\\$aChecked.", "=650  \\0$aRivers."}));
    EXPECT_EQ(preview().AfterLines()[3].Mark, MarkInserted);
    EXPECT_EQ(preview().BeforeLines()[4].Mark, MarkChanged);
    EXPECT_TRUE(preview().Messages().isEmpty());
    EXPECT_TRUE(platform.Messages().empty());
    EXPECT_FALSE(state.busy().IsBusy());

    // With a field order configuration its name goes first.
    transport->clearSent();
    transport->queue("PREVIEW_RECORD", previewed());
    preview().StartRecord(55, 3, group(9, "Names"), "Tag order");
    ASSERT_TRUE(preview().Load());
    EXPECT_EQ(
        sentFields("PREVIEW_RECORD"),
        (Fields{{"MFONAME", "Tag order"}, {"RID", 55}, {"RT", 3}, {"ID", 9}, {"OI", "jsmith"}}));
}

TEST_F(PreviewRequests, ARecordSetSendsThePlaceItIsAtAndTheStep) {
    const RecordSet& set = recordSet(12, "Weeding");
    transport->queue("PREVIEW_RECORD_SET",
                     previewed({{"RID", 31}, {"IN", 1}, {"RSC", 3}, {"MG", "Rule fired: A"}}));
    transport->queue("PREVIEW_RECORD_SET", previewed({{"RID", 40}, {"IN", 3}, {"RSC", 3}}));
    transport->queue("PREVIEW_RECORD_SET", previewed({{"RID", 35}, {"IN", 2}, {"RSC", 3}}));
    preview().StartRecordSet(set, group(7, "Monthly clean-up"), "Standard bibliographic order");
    EXPECT_EQ(preview().Index(), 0);
    EXPECT_EQ(preview().RecordSetCount(), 0);

    ASSERT_TRUE(preview().Load(0));
    EXPECT_EQ(preview().RecordId(), 31);
    EXPECT_EQ(preview().Index(), 1);
    EXPECT_EQ(preview().RecordSetCount(), 3);
    EXPECT_EQ(preview().Messages(), QStringList{"Rule fired: A"});
    ASSERT_TRUE(preview().Load(5));
    EXPECT_EQ(preview().RecordId(), 40);
    ASSERT_TRUE(preview().Load(-1));
    EXPECT_EQ(preview().Index(), 2);
    EXPECT_TRUE(preview().Messages().isEmpty());

    const auto sent = transport->sent("PREVIEW_RECORD_SET");
    ASSERT_EQ(sent.size(), 3u);
    const std::string order = "Standard bibliographic order";
    EXPECT_EQ(
        sent[0].fields,
        (Fields{
            {"MFONAME", order}, {"RSID", 12}, {"ID", 7}, {"IN", 0}, {"NP", 0}, {"OI", "jsmith"}}));
    EXPECT_EQ(
        sent[1].fields,
        (Fields{
            {"MFONAME", order}, {"RSID", 12}, {"ID", 7}, {"IN", 1}, {"NP", 5}, {"OI", "jsmith"}}));
    EXPECT_EQ(
        sent[2].fields,
        (Fields{
            {"MFONAME", order}, {"RSID", 12}, {"ID", 7}, {"IN", 3}, {"NP", -1}, {"OI", "jsmith"}}));
}

TEST_F(PreviewRequests, EachDispositionCodeAddsItsMessageFirstAndTheRecordsAreStillShown) {
    const std::vector<std::pair<int, QString>> codes{
        {1, "Bibliographic record has no holdings, so no rules were applied."},
        {2, "No locations in user profile match holdings locations, so no rules were applied."},
        {4, "Rule execution failed."},
        {5, "Rule execution causes record to be deleted."},
        {6, "Rule execution would cause record to be deleted, but operator lacks delete "
            "permission."},
        {7, "Rule failed to compile."},
        {8, "Rule execution would cause record to be deleted, but it won't be deleted because it "
            "has holdings."},
        {9, "Rule execution would cause record to be deleted, but it won't be deleted because it "
            "has items or orders."},
    };
    preview().StartRecord(101, 1, group(7, "Clean-up"), QString());
    for (const auto& [code, message] : codes) {
        SCOPED_TRACE(code);
        EXPECT_EQ(DispositionMessage(code), message);
        Answer answer = previewed({{"MG", "from the server"}});
        answer.status = 2;
        answer.fields.insert(answer.fields.begin(), {"BC", code});
        transport->queue("PREVIEW_RECORD", answer);

        ASSERT_TRUE(preview().Load());
        EXPECT_EQ(preview().Messages(), (QStringList{message, "from the server"}));
        EXPECT_EQ(preview().BeforeLines().size(), 5);
        EXPECT_EQ(preview().AfterLines().size(), 5);
    }
    EXPECT_TRUE(platform.Messages().empty());
    EXPECT_TRUE(DispositionMessage(3).isEmpty());
    EXPECT_TRUE(DispositionMessage(0).isEmpty());
}

TEST_F(PreviewRequests, AnEmptySetSaysSoAndCountsNothing) {
    const RecordSet& set = recordSet(12, "Weeding");
    transport->queue("PREVIEW_RECORD_SET", previewed({{"RID", 31}, {"IN", 1}, {"RSC", 1}}));
    transport->queue("PREVIEW_RECORD_SET", {2, {{"BC", 3}, {"IN", 0}, {"RSC", 0}}});
    preview().StartRecordSet(set, group(7, "Clean-up"), QString());
    ASSERT_TRUE(preview().Load(0));
    ASSERT_EQ(preview().RecordSetCount(), 1);

    EXPECT_FALSE(preview().Load(0));

    EXPECT_EQ(preview().RecordSetCount(), 0);
    EXPECT_TRUE(preview().BeforeLines().isEmpty());
    EXPECT_TRUE(preview().Messages().isEmpty());
    EXPECT_EQ(platform.Messages(),
              (std::vector<ShownMessage>{{"", "No records in record set.", MessageIcon::Exclamation,
                                          MessageButtons::Ok, MessageAnswer::Ok}}));
}

TEST_F(PreviewRequests, AFailureIsToldOnceAndLeavesNothingBehind) {
    struct FailureCase {
        qint16 status;
        const char* text;
        MessageIcon icon;
    };
    const std::vector<FailureCase> cases{
        {5, "Record id or record set id or rule set group id does not exist.",
         MessageIcon::Exclamation},
        {6, "Operator not authorized to preview records.", MessageIcon::None},
        {99, "Failed to retrieve preview records.", MessageIcon::Exclamation},
        {9001, "Failed to retrieve preview records.", MessageIcon::Exclamation},
    };
    preview().StartRecord(101, 1, group(7, "Clean-up"), QString());
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.status);
        transport->queue("PREVIEW_RECORD", previewed({{"MG", "note"}}));
        ASSERT_TRUE(preview().Load());
        platform.Clear();
        if (c.status > 9000)
            transport->queueFailure("PREVIEW_RECORD", c.status);
        else
            transport->queue("PREVIEW_RECORD", {c.status, {}});

        EXPECT_FALSE(preview().Load());

        EXPECT_EQ(platform.Messages(),
                  (std::vector<ShownMessage>{
                      {"", c.text, c.icon, MessageButtons::Ok, MessageAnswer::Ok}}));
        EXPECT_TRUE(preview().BeforeLines().isEmpty());
        EXPECT_TRUE(preview().AfterLines().isEmpty());
        EXPECT_TRUE(preview().Messages().isEmpty());
        EXPECT_TRUE(preview().BeforeRecord().isEmpty());
        EXPECT_FALSE(state.busy().IsBusy());
    }
}

TEST_F(PreviewRequests, ASideThatCannotBeReadIsSaidAndTheOtherStillShown) {
    preview().StartRecord(101, 1, group(7, "Clean-up"), QString());
    const std::string cut = testing::wireRecord(After).substr(0, 40);
    transport->queue("PREVIEW_RECORD",
                     {0, {{"BR", testing::wireRecord(Before)}, {"AR", cut}, {"MG", "server"}}});
    transport->queue("PREVIEW_RECORD",
                     {0, {{"BR", "not \xE2\x82\xAC octets"}, {"AR", testing::wireRecord(After)}}});

    ASSERT_TRUE(preview().Load());
    ASSERT_EQ(preview().Messages().size(), 2);
    EXPECT_EQ(preview().Messages()[0], "server");
    EXPECT_TRUE(preview().Messages()[1].startsWith("Could not parse 'after' record - "));
    EXPECT_GT(preview().Messages()[1].size(),
              QStringLiteral("Could not parse 'after' record - ").size());
    EXPECT_EQ(texts(preview().BeforeLines()).size(), 4);
    EXPECT_TRUE(preview().AfterLines().isEmpty());
    EXPECT_TRUE(preview().Differences().isEmpty());
    for (const PreviewLine& line : preview().BeforeLines())
        EXPECT_EQ(line.Mark, MarkUnchanged);

    ASSERT_TRUE(preview().Load());
    EXPECT_EQ(preview().Messages(),
              QStringList{"Could not parse 'before' record - invalid MARC record."});
    EXPECT_TRUE(preview().BeforeLines().isEmpty());
    EXPECT_EQ(preview().AfterLines().size(), 5);
}

TEST_F(PreviewRequests, RemovingTheRecordAsksFirstAndSaysWhatWentWrong) {
    const RecordSet& set = recordSet(12, "Weeding 2026");
    transport->queue("PREVIEW_RECORD_SET", previewed({{"RID", 31}, {"IN", 2}, {"RSC", 3}}));
    preview().StartRecordSet(set, group(7, "Clean-up"), QString());
    ASSERT_TRUE(preview().Load(0));
    transport->clearSent();

    platform.AnswerNext(MessageAnswer::No);
    EXPECT_FALSE(preview().RemoveRecordFromSet());
    EXPECT_TRUE(transport->sent("DELETE_RECORD_FROM_RECORD_SET").empty());
    EXPECT_EQ(platform.Messages(),
              (std::vector<ShownMessage>{
                  {"Remove Record From Set",
                   "You will remove record 31 from record set 'Weeding 2026'\r\n\r\nAre you sure?",
                   MessageIcon::Question, MessageButtons::YesNo, MessageAnswer::No}}));

    const std::vector<std::pair<qint16, QString>> statuses{
        {0, QString()},
        {5, "Record set id does not exist."},
        {6, "Operator not authorized to remove record."},
        {7, "Failed to remove record from record set."},
    };
    for (const auto& [status, text] : statuses) {
        SCOPED_TRACE(status);
        platform.Clear();
        transport->clearSent();
        transport->queue("DELETE_RECORD_FROM_RECORD_SET", {status, {}});
        platform.AnswerNext(MessageAnswer::Yes);
        EXPECT_EQ(preview().RemoveRecordFromSet(), status == 0);
        EXPECT_EQ(sentFields("DELETE_RECORD_FROM_RECORD_SET"),
                  (Fields{{"RID", 31}, {"RSID", 12}, {"OI", "jsmith"}}));
        ASSERT_EQ(platform.Messages().size(), text.isEmpty() ? 1u : 2u);
        if (!text.isEmpty()) {
            EXPECT_EQ(platform.Messages()[1].text, text);
            EXPECT_EQ(platform.Messages()[1].icon, MessageIcon::Exclamation);
        }
    }
}

} // namespace
} // namespace velumar
