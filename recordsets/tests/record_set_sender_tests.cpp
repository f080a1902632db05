// Sending ids to a record set: batches of 1000 on the scripted server,
// progress only for more than one batch, and the summary of the ids the
// server did not take.
#include "record_set_progress.h"
#include "record_set_sender.h"
#include "record_sets.h"
#include "scripted_record_sets.h"
#include "tests/qt_printers.h"

#include <numeric>

namespace velumar {
namespace {

using orvane::wire::Answer;
using orvane::wire::Fields;

struct ProgressLog final : RecordSetProgress {
    void ProgressShow(int current, int maximum) override {
        calls.push_back(QString("show %1/%2").arg(current).arg(maximum));
    }
    void ProgressHide() override { calls.push_back("hide"); }
    QStringList calls;
};

QList<qint32> idsFrom(qint32 first, int count) {
    QList<qint32> ids(count);
    std::iota(ids.begin(), ids.end(), first);
    return ids;
}

Answer notAdded(const QList<qint32>& ids) {
    Answer answer;
    for (const qint32 id : ids)
        answer.add("RID", id);
    return answer;
}

class SendingIds : public testing::ScriptedRecordSets {
protected:
    bool send(const QList<qint32>& ids, int recordType = 1) {
        return state.manager<RecordSets>().AddToRecordSet(ids, 44, recordType, &progress);
    }
    // The number of ids of each request sent, in order.
    std::vector<std::size_t> batches() {
        std::vector<std::size_t> sizes;
        for (const auto& request : transport->sent("ADD_TO_RECORD_SET"))
            sizes.push_back(request.fields.size() - 2);
        return sizes;
    }
    void answerAll(const Answer& answer = {}) {
        transport->respond("ADD_TO_RECORD_SET", [answer](const auto&) { return answer; });
    }
    ProgressLog progress;
};

TEST_F(SendingIds, ABatchIsOperatorSetThenEachIdInOrder) {
    answerAll();
    ASSERT_TRUE(send({501, 17, 17}));
    EXPECT_EQ(sentFields("ADD_TO_RECORD_SET"), (Fields{{"OI", "jsmith"},
                                                       {"RSID", 44},
                                                       {"RID", 501},
                                                       {"RID", 17},
                                                       {"RID", 17}}));
    EXPECT_TRUE(platform.Messages().empty());
}

TEST_F(SendingIds, ExactlyOneThousandIdsMakeOneRequestWithoutProgress) {
    answerAll();
    ASSERT_TRUE(send(idsFrom(1, 1000)));
    EXPECT_EQ(batches(), (std::vector<std::size_t>{1000}));
    EXPECT_TRUE(progress.calls.isEmpty());
}

TEST_F(SendingIds, OneThousandAndOneIdsMakeTwoRequestsWithProgress) {
    answerAll();
    ASSERT_TRUE(send(idsFrom(1, 1001)));
    EXPECT_EQ(batches(), (std::vector<std::size_t>{1000, 1}));
    EXPECT_EQ(transport->sent("ADD_TO_RECORD_SET")[1].fields,
              (Fields{{"OI", "jsmith"}, {"RSID", 44}, {"RID", 1001}}));
    EXPECT_EQ(progress.calls, (QStringList{"show 0/1001", "show 1000/1001", "show 1000/1001",
                                           "show 1001/1001", "show 1001/1001", "hide"}));
}

TEST_F(SendingIds, NoIdsSendNothingAndSayNoneWereAdded) {
    ASSERT_TRUE(send({}));
    EXPECT_TRUE(transport->sent("ADD_TO_RECORD_SET").empty());
    EXPECT_EQ(platform.Texts(),
              QStringList{"None of these records were added, as no Bib records matching these "
                          "ids were found in the database."});
}

TEST_F(SendingIds, TwentyFiveHundredIdsListTheThreeNotAdded) {
    transport->queue("ADD_TO_RECORD_SET", notAdded({7}));
    transport->queue("ADD_TO_RECORD_SET", Answer{});
    transport->queue("ADD_TO_RECORD_SET", notAdded({2100, 2499}));
    ASSERT_TRUE(send(idsFrom(1, 2500), 3));
    EXPECT_EQ(batches(), (std::vector<std::size_t>{1000, 1000, 500}));
    EXPECT_EQ(progress.calls.first(), "show 0/2500");
    EXPECT_EQ(progress.calls.last(), "hide");
    ASSERT_EQ(platform.Messages().size(), 1u);
    EXPECT_EQ(platform.Messages()[0].text,
              "The following record ids were not added, as no Auth records matching these ids "
              "were found in the database:\r\n7, 2100, 2499");
    EXPECT_EQ(platform.Messages()[0].icon, MessageIcon::Exclamation);
}

TEST_F(SendingIds, WhenNoIdIsAddedTheSummarySaysNone) {
    transport->queue("ADD_TO_RECORD_SET", notAdded(idsFrom(1, 5)));
    ASSERT_TRUE(send(idsFrom(1, 5), 2));
    EXPECT_EQ(platform.Texts(),
              QStringList{"None of these records were added, as no Mfhd records matching these "
                          "ids were found in the database."});
}

TEST_F(SendingIds, AFailedBatchStopsTheSendWithoutASummary) {
    transport->queue("ADD_TO_RECORD_SET", notAdded({3}));
    transport->queue("ADD_TO_RECORD_SET", Answer{6, {}});
    EXPECT_FALSE(send(idsFrom(1, 2500)));
    EXPECT_EQ(batches(), (std::vector<std::size_t>{1000, 1000}));
    EXPECT_EQ(platform.Texts(), QStringList{"Operator not authorized to add to record set."});
    EXPECT_EQ(progress.calls.last(), "hide");
    EXPECT_EQ(progress.calls.count("hide"), 1);

    platform.Clear();
    transport->queueFailure("ADD_TO_RECORD_SET", 9001);
    EXPECT_FALSE(state.manager<RecordSets>().AddToRecordSetQuiet({1}, 44, 1));
    EXPECT_EQ(platform.Texts(), QStringList{"Failed to add record(s) to set."});
}

TEST(RecordSetSummary, ALongListIsCutJustAfterTheIdThatPassesOneThousandCharacters) {
    const QList<qint32> missing = idsFrom(1000000, 200); // 7 digits each, 9 with ", "
    const QString text = RecordSetSender::Summary(missing, 5000, 1);
    const QString head = "The following record ids were not added, as no Bib records matching "
                         "these ids were found in the database:\r\n";
    ASSERT_TRUE(text.startsWith(head + "1000000, 1000001, "));
    ASSERT_TRUE(text.endsWith("..."));
    const QString cut = text.chopped(3);
    EXPECT_GT(cut.size(), 1000);
    EXPECT_LE(cut.size() - 9, 1000) << "the id before the last kept did not pass the limit";
    EXPECT_TRUE(cut.endsWith(QString::number(missing[(cut.size() - head.size() + 2) / 9 - 1])));
    EXPECT_EQ(RecordSetSender::Summary({}, 3, 1), "");
}

// Ids whose summary, uncut, is exactly `length` characters: 7-digit ids,
// then one of the digits that makes up the rest.
QList<qint32> idsFilling(qsizetype length, const QString& head) {
    QList<qint32> ids;
    qsizetype size = head.size();
    while (length - size > 11) {
        size += (ids.isEmpty() ? 0 : 2) + 7;
        ids.push_back(1000000 + static_cast<qint32>(ids.size()));
    }
    const qsizetype digits = length - size - 2;
    ids.push_back(QString(digits, QChar('9')).toInt());
    return ids;
}

// The cut comes only once the text passes 1000 characters: at exactly 1000
// the list goes on.
TEST(RecordSetSummary, TheCutComesOnlyPastOneThousandCharacters) {
    const QString head = "The following record ids were not added, as no Bib records matching "
                         "these ids were found in the database:\r\n";
    struct Case {
        qsizetype uncut; // length of the text through the filling ids
        QList<qint32> more;
        QString tail; // what follows the filling ids
    };
    const std::vector<Case> cases{
        {999, {}, ""},
        {1000, {}, ""},
        {1000, {42, 43}, ", 42..."},
        {1001, {}, "..."},
        {1001, {42}, "..."},
        {997, {4, 5}, ", 4, 5..."},
        {998, {4, 5}, ", 4..."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.uncut);
        const QList<qint32> filling = idsFilling(c.uncut, head);
        QStringList joined;
        for (const qint32 id : filling)
            joined.push_back(QString::number(id));
        const QString uncut = head + joined.join(", ");
        ASSERT_EQ(uncut.size(), c.uncut);
        const QString text = RecordSetSender::Summary(filling + c.more, 5000, 1);
        EXPECT_EQ(text, uncut + c.tail);
    }
}

} // namespace
} // namespace velumar
