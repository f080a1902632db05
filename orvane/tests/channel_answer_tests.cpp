// Reading answers through the channel: single fields, records led by a key,
// absent keys and kind conversions.
#include "request_channel.h"
#include "scripted_transport.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <utility>
#include <vector>

namespace orvane {
namespace {

class ChannelAnswerTest : public ::testing::Test {
protected:
    // Sends CODE and leaves the scripted answer readable on the channel.
    void answerWith(wire::Fields fields, qint32 status = 0) {
        transport->queue("CODE", wire::Answer{status, std::move(fields)});
        ASSERT_EQ(channel.SendRequest("CODE"), status);
    }

    QTemporaryDir dir;
    std::shared_ptr<testing::ScriptedTransport> transport =
        std::make_shared<testing::ScriptedTransport>();
    RequestChannel channel{transport, "token", LogWriter(dir.filePath("log"))};
};

// One record a line.
// clang-format off
const wire::Fields CharacterSets = {
    {"HDR", "header"},
    {"CSID", 1}, {"CSN", "No code"},
    {"CSID", 2}, {"CSC", "UTF8"}, {"CSN", "Unicode"},
    {"CSID", 3}, {"CSC", "MARC8"}, {"CSN", "MARC-8"},
};
// clang-format on

TEST_F(ChannelAnswerTest, SingleFieldsReadDirectlyAfterTheSend) {
    answerWith({{"TK", "abc"}, {"N", 42}, {"PF", true}});
    EXPECT_EQ(channel.GetField("TK"), "abc");
    EXPECT_EQ(channel.GetNumericField("N"), 42);
    EXPECT_TRUE(channel.GetBoolField("PF"));
}

TEST_F(ChannelAnswerTest, WalksRecordsByTheirLeadingKeyUntilNoneIsLeft) {
    answerWith(CharacterSets);
    EXPECT_EQ(channel.CountRecords("CSID"), 3);

    std::vector<std::pair<QString, QString>> table;
    std::vector<qint32> ids;
    while (channel.NextRecord("CSID")) {
        ids.push_back(channel.GetNumericField("CSID"));
        table.emplace_back(channel.GetField("CSC"), channel.GetField("CSN"));
    }
    EXPECT_EQ(ids, (std::vector<qint32>{1, 2, 3}));
    // The first record has no CSC: it reads empty, not the next record's.
    EXPECT_EQ(table, (std::vector<std::pair<QString, QString>>{
                         {"", "No code"}, {"UTF8", "Unicode"}, {"MARC8", "MARC-8"}}));
    EXPECT_FALSE(channel.NextRecord("CSID"));
}

TEST_F(ChannelAnswerTest, OutsideARecordFieldsReadTheirFirstOccurrence) {
    answerWith(CharacterSets);
    EXPECT_EQ(channel.GetField("CSN"), "No code");
    EXPECT_EQ(channel.GetField("CSC"), "UTF8");
    while (channel.NextRecord("CSID")) {
    }
    // The walk is over: the whole answer again.
    EXPECT_EQ(channel.GetField("CSC"), "UTF8");
}

TEST_F(ChannelAnswerTest, SingleFieldsAheadOfTheRecordsStayReadableDuringAWalk) {
    answerWith(CharacterSets);
    ASSERT_TRUE(channel.NextRecord("CSID"));
    EXPECT_EQ(channel.GetField("HDR"), "header");
    ASSERT_TRUE(channel.NextRecord("CSID"));
    EXPECT_EQ(channel.GetField("HDR"), "header");
    EXPECT_EQ(channel.GetField("CSC"), "UTF8");
}

TEST_F(ChannelAnswerTest, EachKeyKeepsItsOwnPlace) {
    answerWith({{"A", 1}, {"B", 10}, {"A", 2}, {"B", 20}});
    ASSERT_TRUE(channel.NextRecord("A"));
    ASSERT_TRUE(channel.NextRecord("B"));
    EXPECT_EQ(channel.GetNumericField("B"), 10);
    ASSERT_TRUE(channel.NextRecord("A"));
    EXPECT_EQ(channel.GetNumericField("A"), 2);
    EXPECT_EQ(channel.GetNumericField("B"), 20); // inside A's second record
}

TEST_F(ChannelAnswerTest, AbsentKeysReadAsEmptyValues) {
    answerWith({{"X", "1"}});
    EXPECT_EQ(channel.GetField("NONE"), "");
    EXPECT_EQ(channel.GetNumericField("NONE"), 0);
    EXPECT_FALSE(channel.GetBoolField("NONE"));
    EXPECT_EQ(channel.CountRecords("NONE"), 0);
    EXPECT_FALSE(channel.NextRecord("NONE"));
    EXPECT_EQ(channel.GetField("X"), "1"); // a failed walk leaves the answer readable
}

TEST_F(ChannelAnswerTest, KindsConvertOnReading) {
    answerWith({{"N", 42},
                {"NEG", -7},
                {"T", "true"},
                {"F", false},
                {"DIGITS", " 17 "},
                {"WORD", "abc"},
                {"HUGE", "99999999999"},
                {"ONE", "1"},
                {"UPPER", "TRUE"},
                {"NO", "no"},
                {"ZERO", 0}});
    EXPECT_EQ(channel.GetField("N"), "42");
    EXPECT_EQ(channel.GetField("NEG"), "-7");
    EXPECT_EQ(channel.GetField("F"), "false");
    EXPECT_EQ(channel.GetNumericField("DIGITS"), 17);
    EXPECT_EQ(channel.GetNumericField("WORD"), 0);
    EXPECT_EQ(channel.GetNumericField("HUGE"), 0);
    EXPECT_EQ(channel.GetNumericField("T"), 0);
    EXPECT_EQ(channel.GetNumericField("F"), 0);
    EXPECT_TRUE(channel.GetBoolField("T"));
    EXPECT_TRUE(channel.GetBoolField("UPPER"));
    EXPECT_TRUE(channel.GetBoolField("ONE"));
    EXPECT_TRUE(channel.GetBoolField("N"));
    EXPECT_FALSE(channel.GetBoolField("NO"));
    EXPECT_FALSE(channel.GetBoolField("WORD"));
    EXPECT_FALSE(channel.GetBoolField("ZERO"));
}

TEST_F(ChannelAnswerTest, TextArrivesAsUnicodeAndOctetCharactersSurvive) {
    answerWith({{"NM", "M\xc3\xbcller \xe2\x9c\x93"}, {"MR", "\xc3\xa9\xc2\x80"}});
    EXPECT_EQ(channel.GetField("NM"), QString::fromUtf8("Müller ✓"));
    const QString octets = channel.GetField("MR");
    ASSERT_EQ(octets.size(), 2);
    EXPECT_EQ(octets[0].unicode(), 0xE9);
    EXPECT_EQ(octets[1].unicode(), 0x80);
}

TEST_F(ChannelAnswerTest, TheAnswerStaysUntilTheNextSendAndANewSendStartsAfresh) {
    answerWith(CharacterSets);
    while (channel.NextRecord("CSID")) {
    }
    channel.AddField("OI", "demo"); // building the next request does not touch it
    EXPECT_EQ(channel.GetField("CSN"), "No code");

    answerWith(CharacterSets);
    ASSERT_TRUE(channel.NextRecord("CSID"));
    EXPECT_EQ(channel.GetNumericField("CSID"), 1);

    answerWith({{"OTHER", 1}});
    EXPECT_EQ(channel.CountRecords("CSID"), 0);
    EXPECT_EQ(channel.GetField("CSN"), "");
}

} // namespace
} // namespace orvane
