#include "charset_test_records.h"
#include "charsets/marc_charset_converter.h"
#include "protocol/json_codec.h"
#include "protocol/octets.h"
#include "reference_fixture.h"

#include <gtest/gtest.h>
#include <set>
#include <yaz/yaz-iconv.h>

using namespace orvane;
using namespace orvane::server;
using namespace orvane::server::testing;

namespace {

using CharsetHandlers = ReferenceServer;

wire::Fields convertFields(std::string from, std::string to, std::string recordText) {
    return {{"CSI", std::move(from)}, {"CSO", std::move(to)}, {"MR", std::move(recordText)}};
}

std::string recordOf(const wire::Answer& answer) {
    const auto* mr = wire::findField(answer.fields, "MR");
    if (!mr || !std::holds_alternative<std::string>(mr->value))
        return {};
    return wire::textToOctets(std::get<std::string>(mr->value)).value_or("(not octets)");
}

const std::string Leader = "00000nam  2200000 a 4500";

} // namespace

TEST_F(CharsetHandlers, ListsCharsetsInTableOrderUnicodeFirst) {
    const auto answer = send("GETCHARSETS");
    EXPECT_EQ(answer.status, 0);
    const auto sets = records(answer, "CSID");
    ASSERT_GE(sets.size(), 3u);

    auto idOf = [&](const std::string& code) {
        auto st = db().prepare("SELECT id FROM charsets WHERE code = ?1");
        st.bind(1, code);
        return st.step() ? std::to_string(st.int64(0)) : std::string("none");
    };
    EXPECT_EQ(describe(sets[0]), "CSID=" + idOf("A") + " CSC=\"A\" CSN=\"Unicode (UTF-8)\"");
    EXPECT_EQ(describe(sets[1]), "CSID=" + idOf("M8") + " CSC=\"M8\" CSN=\"MARC-8\"");
    EXPECT_EQ(describe(sets[2]), "CSID=" + idOf("L1") + " CSC=\"L1\" CSN=\"ISO 8859-1 (Latin-1)\"");

    auto count = db().prepare("SELECT count(*) FROM charsets");
    count.step();
    ASSERT_EQ(sets.size(), static_cast<std::size_t>(count.int64(0)));
    std::set<std::string> codes;
    for (const auto& set : sets) {
        ASSERT_EQ(set.size(), 3u) << describe(set);
        EXPECT_EQ(set[1].key, "CSC");
        EXPECT_EQ(set[2].key, "CSN");
        const auto& code = std::get<std::string>(set[1].value);
        EXPECT_TRUE(codes.insert(code).second) << "code " << code << " twice";
        EXPECT_FALSE(std::get<std::string>(set[2].value).empty());
    }
}

TEST_F(CharsetHandlers, EverySeededCodingOpensInYaz) {
    auto st = db().prepare("SELECT code, encoding FROM charsets ORDER BY position");
    int seen = 0;
    while (st.step()) {
        ++seen;
        const auto encoding = st.text(1);
        SCOPED_TRACE(st.text(0) + " " + encoding);
        yaz_iconv_t toUnicode = yaz_iconv_open("utf-8", encoding.c_str());
        yaz_iconv_t fromUnicode = yaz_iconv_open(encoding.c_str(), "utf-8");
        EXPECT_NE(toUnicode, nullptr);
        EXPECT_NE(fromUnicode, nullptr);
        if (toUnicode)
            yaz_iconv_close(toUnicode);
        if (fromUnicode)
            yaz_iconv_close(fromUnicode);
        EXPECT_TRUE(MarcCharsetConverter::opens(encoding));
    }
    EXPECT_GE(seen, 8);
}

TEST_F(CharsetHandlers, Marc8SamplesConvertToTheirUnicodeEditions) {
    SKIP_WITHOUT_MARC_SAMPLES();
    const auto marc8 = sampleRecords("m4j_brkrtest.mrc");
    const auto unicode = sampleRecords("m4j_brkrtest_UTF8.mrc");
    ASSERT_FALSE(marc8.empty());
    ASSERT_EQ(marc8.size(), unicode.size());

    for (std::size_t i = 0; i < marc8.size(); ++i) {
        SCOPED_TRACE("record " + std::to_string(i + 1));
        const auto answer =
            send("CONVERTMARCCHARSET", convertFields("M8", "A", wire::octetsToText(marc8[i])));
        ASSERT_EQ(answer.status, 0);
        ASSERT_EQ(answer.fields.size(), 1u);
        const auto converted = parseRecord(recordOf(answer));
        const auto expected = parseRecord(unicode[i]);
        ASSERT_TRUE(converted && expected);
        EXPECT_EQ(converted->leader[9], 'a');
        EXPECT_EQ(converted->leader.substr(5, 4), expected->leader.substr(5, 4));
        ASSERT_EQ(converted->fields.size(), expected->fields.size());
        for (std::size_t f = 0; f < expected->fields.size(); ++f) {
            EXPECT_EQ(converted->fields[f].tag, expected->fields[f].tag);
            EXPECT_EQ(converted->fields[f].data, expected->fields[f].data)
                << "field " << expected->fields[f].tag;
        }
    }
}

TEST_F(CharsetHandlers, Marc8SampleWithDiacriticsRoundTripsThroughUnicode) {
    SKIP_WITHOUT_MARC_SAMPLES();
    const auto marc8 = sampleRecords("pym_marc8.dat");
    ASSERT_EQ(marc8.size(), 1u);
    const auto unicode =
        send("CONVERTMARCCHARSET", convertFields("M8", "A", wire::octetsToText(marc8[0])));
    ASSERT_EQ(unicode.status, 0);
    const auto& text = std::get<std::string>(unicode.fields.at(0).value);
    const auto back = send("CONVERTMARCCHARSET", convertFields("A", "M8", text));
    ASSERT_EQ(back.status, 0);
    const auto original = parseRecord(marc8[0]);
    const auto again = parseRecord(recordOf(back));
    ASSERT_TRUE(original && again);
    EXPECT_EQ(again->leader[9], ' ');
    EXPECT_EQ(again->fields, original->fields);
}

TEST_F(CharsetHandlers, RefusalsGiveTheRecordBackAsSent) {
    const auto latin1 = buildRecord(Leader, {{"245", "10\x1F"
                                                     "aCaf\xE9"}});
    const auto cyrillic = buildRecord(Leader, {{"245", "10\x1F"
                                                       "a\xD0\x98\xD0\xBB"}});
    const struct {
        const char* what;
        std::string from, to, text;
        std::int32_t status;
    } cases[] = {
        {"unknown source code", "ZZ", "A", wire::octetsToText(latin1), 8},
        {"unknown target code", "L1", "a", wire::octetsToText(latin1), 8},
        {"text that is not octets", "L1", "A", "Caf\xC4\x80", 8},
        {"record cut short", "L1", "A", wire::octetsToText(latin1.substr(0, 30)), 10},
        {"not a record", "L1", "A", "hello", 10},
        {"empty record", "L1", "A", "", 10},
        {"not UTF-8", "A", "L1", wire::octetsToText(latin1), 10},
        {"Cyrillic into Latin-1", "A", "L1", wire::octetsToText(cyrillic), 11},
    };
    for (const auto& c : cases) {
        const auto answer = send("CONVERTMARCCHARSET", convertFields(c.from, c.to, c.text));
        EXPECT_EQ(answer.status, c.status) << c.what;
        EXPECT_EQ(answer.fields, (wire::Fields{{"MR", c.text}})) << c.what;
    }
}

TEST_F(CharsetHandlers, RecordNeedsAllThreeFields) {
    const auto outcome = dispatch("CONVERTMARCCHARSET", {{"CSI", "A"}, {"CSO", "L1"}});
    EXPECT_EQ(outcome.httpStatus, 400);
}

TEST_F(CharsetHandlers, HighOctetsSurviveTheWire) {
    std::string every;
    for (int c = 0; c < 256; ++c)
        every.push_back(static_cast<char>(c));
    EXPECT_EQ(wire::textToOctets(wire::octetsToText(every)), every);

    // Through the JSON endpoint, Latin-1 to Latin-1: the octets come back as they went.
    const auto record = buildRecord(Leader, {{"001", "w1"},
                                             {"245", "10\x1F"
                                                     "a\xC0 la \xE9t\xE9 \xFF\xA0\x80"}});
    const auto body = wire::encodeRequest(
        {"CONVERTMARCCHARSET", convertFields("L1", "L1", wire::octetsToText(record))});
    const auto reply = core().endpoint().handle(body, "Bearer " + token());
    ASSERT_EQ(reply.status, 200) << reply.body;
    const auto answer = wire::decodeAnswer(reply.body);
    ASSERT_TRUE(answer.value) << answer.error;
    EXPECT_EQ(answer.value->status, 0);
    EXPECT_EQ(recordOf(*answer.value), record);
}
