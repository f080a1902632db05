// How an endpoint reply becomes a transport result: shared by the HTTP and
// embedded transports.
#include "protocol/json_codec.h"
#include "protocol/status.h"
#include "reply_decoding.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

TEST(DecodeReply, AnAnswerKeepsItsStatusAndFieldsInOrder) {
    const wire::Answer answer{6, {{"B", 2}, {"A", "x"}, {"B", true}}};
    const auto result = decodeReply(200, wire::encodeAnswer(answer));
    EXPECT_EQ(result.status, 6);
    EXPECT_EQ(result.answer, answer);
    EXPECT_TRUE(result.error.empty());
}

TEST(DecodeReply, RefusalsBecomeClientStatusesWithTheServersReason) {
    const auto unauthorised = decodeReply(401, wire::encodeError("the session token expired"));
    EXPECT_EQ(unauthorised.status, wire::status::NotLoggedIn);
    EXPECT_EQ(unauthorised.error, "the session token expired");
    EXPECT_EQ(unauthorised.answer, wire::Answer{});

    const auto bad = decodeReply(400, wire::encodeError("field OI must be text"));
    EXPECT_EQ(bad.status, wire::status::Rejected);
    EXPECT_EQ(bad.error, "field OI must be text");

    EXPECT_EQ(decodeReply(413, "").status, wire::status::Rejected);
    EXPECT_EQ(decodeReply(404, "").error, "the server replied with HTTP status 404");
}

TEST(DecodeReply, UnreadableOrUnexpectedRepliesAreBadAnswers) {
    const auto garbage = decodeReply(200, "<html>proxy error</html>");
    EXPECT_EQ(garbage.status, wire::status::BadAnswer);
    EXPECT_NE(garbage.error.find("could not be read"), std::string::npos);

    EXPECT_EQ(decodeReply(200, R"({"fields": []})").status, wire::status::BadAnswer);
    EXPECT_EQ(decodeReply(500, wire::encodeError("internal server error")).status,
              wire::status::BadAnswer);
}

} // namespace
} // namespace orvane
