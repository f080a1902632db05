// The record search component's searches: the exact request it sends, what
// it makes of the answer, and a match job's key searched for real against
// the embedded server's demo catalogue.
#include "marc/iso2709_writer.h"
#include "marc/record.h"
#include "marc_record.h"
#include "protocol/status.h"
#include "record_search.h"
#include "request_channel.h"
#include "scripted_transport.h"
#include "session.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace orvane {
namespace {

using testing::ScriptedTransport;

class RecordSearchRequests : public ::testing::Test {
protected:
    void SetUp() override {
        session.SetTransportFactory([this](const QString&) { return transport; });
        session.Initialise({"velumar"}, nullptr);
        transport->queue("LOGIN", {0, {{"TK", "t"}}});
        ASSERT_EQ(session.Login("embedded", "jsmith", ""), 0);
        ASSERT_TRUE(search.Initialise(channel, session, 0, 0));
    }

    wire::Fields lastSent() {
        const auto sent = transport->sent("CATALOGUE_SEARCH");
        return sent.empty() ? wire::Fields{} : sent.back().fields;
    }

    std::shared_ptr<ScriptedTransport> transport = std::make_shared<ScriptedTransport>();
    RequestChannel channel{transport, "t"};
    Session session;
    RecordSearch search;
    QList<qint32> ids{99}; // a result list that must be emptied
};

TEST_F(RecordSearchRequests, SendsIndexKeyTruncationAndOperator) {
    transport->queue("CATALOGUE_SEARCH", {0, {{"RC", 1}, {"RID", 4}, {"RID", 9}}});
    EXPECT_EQ(search.Search(channel, "035A", "(ABC)12345", ids), 1);
    EXPECT_EQ(ids, (QList<qint32>{4, 9}));
    EXPECT_EQ(
        lastSent(),
        (wire::Fields{{"IX", "035A"}, {"KEY", "(ABC)12345"}, {"TR", false}, {"OI", "jsmith"}}));
}

TEST_F(RecordSearchRequests, SendsTheRecordTypeMaximumAndAutoTruncationWhenSet) {
    search.SetAutoTruncation(true);
    search.SetMaximumHits(50);
    transport->queue("CATALOGUE_SEARCH", {0, {{"RC", 3}}});
    EXPECT_EQ(search.Search(channel, "KW", " Åberg ", ids, 3), 3);
    EXPECT_TRUE(ids.isEmpty());
    EXPECT_EQ(lastSent(), (wire::Fields{{"IX", "KW"},
                                        {"KEY", "Åberg"},
                                        {"RT", 3},
                                        {"TR", true},
                                        {"MH", 50},
                                        {"OI", "jsmith"}}));
}

TEST_F(RecordSearchRequests, ATrailingStarTruncatesThatKeyOnly) {
    transport->respond("CATALOGUE_SEARCH", [](const wire::Request&) {
        return wire::Answer{0, {{"RC", 1}}};
    });
    search.Search(channel, "TI", "harb*", ids);
    EXPECT_EQ(lastSent(),
              (wire::Fields{{"IX", "TI"}, {"KEY", "harb"}, {"TR", true}, {"OI", "jsmith"}}));
    search.Search(channel, "TI", "harb", ids);
    EXPECT_EQ(lastSent(),
              (wire::Fields{{"IX", "TI"}, {"KEY", "harb"}, {"TR", false}, {"OI", "jsmith"}}));
}

TEST_F(RecordSearchRequests, AFailedSearchAnswersZeroAndNoIds) {
    transport->queue("CATALOGUE_SEARCH", {wire::status::NotAuthorized, {{"RC", 0}}});
    EXPECT_EQ(search.Search(channel, "A35A", "(X)1", ids), 0);
    EXPECT_TRUE(ids.isEmpty());

    ids = {99};
    transport->queue("CATALOGUE_SEARCH", {8, {{"RC", 0}}});
    EXPECT_EQ(search.Search(channel, "", "(X)1", ids), 0);
    EXPECT_TRUE(ids.isEmpty());

    ids = {99};
    transport->queueFailure("CATALOGUE_SEARCH", wire::status::Unreachable);
    EXPECT_EQ(search.Search(channel, "035A", "(X)1", ids), 0);
    EXPECT_TRUE(ids.isEmpty());

    // A status 0 whose code is no record type is no answer either.
    ids = {99};
    transport->queue("CATALOGUE_SEARCH", {0, {{"RC", 7}, {"RID", 1}}});
    EXPECT_EQ(search.Search(channel, "035A", "(X)1", ids), 0);
    EXPECT_TRUE(ids.isEmpty());
}

// A record from a match file: its 003 and 001 make the key the 035 index holds.
std::string matchFileRecord(const std::string& source, const std::string& number) {
    marc::Record record;
    record.appendField(marc::Field::control("001", number));
    record.appendField(marc::Field::control("003", source));
    record.appendField(marc::Field::data("245", '1', '0', {{'a', "Anything"}}));
    std::string out;
    EXPECT_FALSE(marc::appendIso2709(record, out));
    return out;
}

TEST(RecordSearchEndToEnd, AMatchKeyFindsTheDemoRecordInTheEmbeddedServer) {
    // The embedded server as the program starts it: a new file, filled with the demo data.
    QTemporaryDir dir;
    Session session;
    session.Initialise({"velumar", "--db", dir.filePath("velumar.db")}, nullptr);
    ASSERT_EQ(session.Login("embedded", "demo", ""), 0) << session.LastError().toStdString();
    RequestChannel channel;
    ASSERT_TRUE(channel.Open(5, session, nullptr));
    RecordSearch search;
    ASSERT_TRUE(search.Initialise(channel, session, 0, 0));

    MarcRecord record;
    const std::string octets = matchFileRecord("VDEMO", "1000017");
    ASSERT_TRUE(
        record.Load(QString::fromLatin1(octets.data(), static_cast<qsizetype>(octets.size()))));
    ASSERT_TRUE(record.FindField("003"));
    QString key = "(" + record.FieldData().trimmed() + ")";
    ASSERT_TRUE(record.FindField("001"));
    key += record.FieldData().trimmed();

    QList<qint32> ids;
    EXPECT_EQ(search.Search(channel, "035A", key, ids), 1);
    EXPECT_EQ(ids, QList<qint32>{17});
    // Authority control numbers live in their own index.
    EXPECT_EQ(search.Search(channel, "A35A", "(VDEMO)n0000005", ids), 3);
    EXPECT_EQ(ids, QList<qint32>{5});
    EXPECT_EQ(search.Search(channel, "A35A", key, ids), 3);
    EXPECT_TRUE(ids.isEmpty());
    // Title words, diacritics or not.
    EXPECT_EQ(search.Search(channel, "TI", "etudes", ids), 1);
    EXPECT_FALSE(ids.isEmpty());
    // A holdings match has no index: a failed search.
    EXPECT_EQ(search.Search(channel, "", key, ids), 0);
}

} // namespace
} // namespace orvane
