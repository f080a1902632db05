#include "protocol/json_codec.h"
#include "protocol/octets.h"

#include <gtest/gtest.h>

using namespace orvane::wire;

TEST(WireCodec, RequestRoundTripKeepsOrderAndKinds) {
    Request r{"GET_RECORD_SETS", {{"OI", std::string("jsmith")}, {"RSID", 12}, {"UP", true},
                                  {"OI", std::string("again")}}};
    const std::string body = encodeRequest(r);
    EXPECT_EQ(body, R"({"code":"GET_RECORD_SETS","fields":[["OI","jsmith"],["RSID",12],)"
                    R"(["UP",true],["OI","again"]]})");
    auto back = decodeRequest(body);
    ASSERT_TRUE(back.value) << back.error;
    EXPECT_EQ(*back.value, r);
}

TEST(WireCodec, AnswerRoundTrip) {
    Answer a{6, {{"LI", -5}, {"LN", std::string("Stacks \xC3\xA9")}}};
    auto back = decodeAnswer(encodeAnswer(a));
    ASSERT_TRUE(back.value) << back.error;
    EXPECT_EQ(*back.value, a);
}

TEST(WireCodec, RefusesMalformedRequests) {
    const char* bad[] = {
        "",                                        // empty
        "not json",                                // garbage
        "[1,2]",                                   // not an object
        R"({"fields":[]})",                        // no code
        R"({"code":""})",                          // empty code
        R"({"code":7})",                           // code of the wrong type
        R"({"code":"X","fields":{"OI":"a"}})",     // fields not an array
        R"({"code":"X","fields":[["OI"]]})",       // pair without value
        R"({"code":"X","fields":[[1,"a"]]})",      // key not text
        R"({"code":"X","fields":[["N",1.5]]})",    // fraction
        R"({"code":"X","fields":[["N",null]]})",   // null
        R"({"code":"X","fields":[["N",[1]]]})",    // nested
        R"({"code":"X","fields":[["N",2147483648]]})", // above 32 bits
    };
    for (const char* body : bad) {
        auto d = decodeRequest(body);
        EXPECT_FALSE(d.value) << body;
        EXPECT_FALSE(d.error.empty()) << body;
    }
}

TEST(WireCodec, AcceptsRequestWithoutFieldsAndInt32Limits) {
    auto d = decodeRequest(R"({"code":"GETCHARSETS"})");
    ASSERT_TRUE(d.value);
    EXPECT_TRUE(d.value->fields.empty());
    d = decodeRequest(R"({"code":"X","fields":[["A",-2147483648],["B",2147483647]]})");
    ASSERT_TRUE(d.value) << d.error;
    EXPECT_EQ(std::get<std::int32_t>(d.value->fields[0].value), INT32_MIN);
    EXPECT_EQ(std::get<std::int32_t>(d.value->fields[1].value), INT32_MAX);
}

TEST(WireCodec, ErrorBody) {
    EXPECT_EQ(decodeError(encodeError("no token")), "no token");
    EXPECT_EQ(decodeError(R"({"status":0})"), "");
    EXPECT_EQ(decodeError("garbage"), "");
}

TEST(WireOctets, EveryOctetSurvivesTheWire) {
    std::string all;
    for (int i = 0; i < 256; ++i)
        all.push_back(static_cast<char>(i));
    const std::string text = octetsToText(all);
    EXPECT_EQ(text.size(), 128u + 2 * 128u);
    auto back = textToOctets(text);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, all);
    // And through JSON, as a MARC record travels.
    Request r{"CONVERTMARCCHARSET", {{"MR", text}}};
    auto decoded = decodeRequest(encodeRequest(r));
    ASSERT_TRUE(decoded.value);
    EXPECT_EQ(*textToOctets(std::get<std::string>(decoded.value->fields[0].value)), all);
}

TEST(WireOctets, TextAboveLatin1IsNotOctets) {
    EXPECT_FALSE(textToOctets("\xE2\x82\xAC")); // U+20AC
    EXPECT_FALSE(textToOctets("\xC3"));         // truncated sequence
    EXPECT_FALSE(textToOctets("\xC3\x41"));     // bad continuation
    EXPECT_EQ(*textToOctets("plain"), "plain");
}

// Bodies built to cost the decoder time or memory are refused as soon as
// they show what they are, with a reason that says so.
TEST(WireCodec, RefusesNestingAndFloodsBeforeBuildingThem) {
    const struct {
        std::string body;
        std::string error;
    } cases[] = {
        {std::string(1 << 20, '['), "body must be a JSON object"},
        {R"({"code":"X","fields":[[)" + std::string(1 << 20, '['), "nested deeper than a request is"},
        {R"({"code":"X","fields":[["N",[[[[1]]]]]]})", "nested deeper than a request is"},
        {R"({"code":"X","extra":{"a":{"b":{}}}})", "a request has no member \"extra\""},
        {R"({"code":"X","fields":[)" + [] {
             std::string many;
             for (std::size_t i = 0; i <= MaxRequestFields; ++i)
                 many += std::string(i ? "," : "") + R"(["A",1])";
             return many;
         }() + "]}",
         "more than " + std::to_string(MaxRequestFields) + " fields"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.body.substr(0, 40));
        auto d = decodeRequest(c.body);
        EXPECT_FALSE(d.value);
        EXPECT_NE(d.error.find(c.error), std::string::npos) << d.error;
    }
}

// Input a lenient reader would take some other way than was meant.
TEST(WireCodec, RefusesAmbiguousRequests) {
    const struct {
        std::string body;
        std::string error;
    } cases[] = {
        {R"({"code":"A","code":"B"})", "\"code\" is given twice"},
        {R"({"code":"A","fields":[],"fields":[["OI","x"]]})", "\"fields\" is given twice"},
        {R"({"code":"X","fields":[["N",9223372036854775808]]})", "outside the 32-bit range"},
        {R"({"code":"X","fields":[["N",18446744073709551615]]})", "outside the 32-bit range"},
        {R"({"code":"X","fields":[["N",4294967297]]})", "outside the 32-bit range"},
        {std::string(R"({"code":"X"})") + '\0' + "garbage", "NUL"},
        {std::string(R"({"code":"X","fields":[["A","a)") + '\0' + R"("]]})", "NUL"},
        {R"({"code":"X","fields":[["A",1,2]]})", "[key, value] pair"},
        {R"({"code":"X"} {"code":"Y"})", "not valid JSON"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.body);
        auto d = decodeRequest(c.body);
        EXPECT_FALSE(d.value);
        EXPECT_NE(d.error.find(c.error), std::string::npos) << d.error;
    }
}

// Answers come from a server that may be newer: members this client does not
// know are passed over, within reason.
TEST(WireCodec, AnswersPassOverUnknownMembers) {
    auto d = decodeAnswer(R"({"server":"x","extra":{"a":[1,2]},"status":7,"fields":[["A","b"]]})");
    ASSERT_TRUE(d.value) << d.error;
    EXPECT_EQ(d.value->status, 7);
    EXPECT_EQ(d.value->fields, (Fields{{"A", std::string("b")}}));
    for (const char* bad : {R"({"fields":[]})", R"({"status":"0"})", R"({"status":4294967296})",
                            R"({"status":0,"status":1})", R"({"status":0,"x":[[[[1]]]]})"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(decodeAnswer(bad).value);
    }
}
