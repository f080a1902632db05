// The HTTP front's reader of requests: heads and bodies as they arrive, in
// any pieces, and every limit refused the moment it is passed.

#include "http/request_reader.h"

#include <gtest/gtest.h>

using namespace orvane::server;
using State = RequestReader::State;
using Framing = RequestReader::Framing;

namespace {

struct Outcome {
    State state;
    int status = 0;
    std::string body;
};

// Feeds `bytes` in pieces of `piece` octets; a head read is given a body of
// the framing its headers say, at most `maxBody` octets.
Outcome read(std::string_view bytes, std::size_t piece, std::size_t maxBody = 1024) {
    RequestReader reader(256, 8);
    for (std::size_t at = 0; at < bytes.size() && reader.state() != State::Failed &&
                             reader.state() != State::Complete;
         at += piece) {
        reader.feed(bytes.substr(at, piece));
        if (reader.state() == State::HeadDone) {
            const auto* length = reader.head().find("content-length");
            if (reader.head().find("transfer-encoding"))
                reader.startBody(Framing::Chunked, 0, maxBody);
            else
                reader.startBody(Framing::Length, length ? std::stoull(*length) : 0, maxBody);
        }
    }
    Outcome out{reader.state(), reader.errorStatus(), {}};
    if (reader.state() == State::Complete)
        out.body = reader.takeBody();
    return out;
}

} // namespace

TEST(RequestReader, ReadsTheSameWhateverThePieces) {
    const struct {
        std::string bytes;
        State state;
        int status;
        std::string body;
    } cases[] = {
        {"POST / HTTP/1.1\r\nContent-Length: 5\r\n\r\nhello", State::Complete, 0, "hello"},
        {"\r\nPOST / HTTP/1.1\r\nContent-Length: 2\r\n\r\nhi", State::Complete, 0, "hi"},
        {"POST / HTTP/1.1\nContent-Length: 2\n\nhi", State::Complete, 0, "hi"},
        {"POST / HTTP/1.1\r\n\r\n", State::Complete, 0, ""},
        {"POST / HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nabc\r\n2;x=y\r\nde\r\n"
         "0\r\nT: 1\r\n\r\n",
         State::Complete, 0, "abcde"},
        {"POST / HTTP/1.1\r\nContent-Length: 2000\r\n\r\n", State::Failed, 413, ""},
        {"POST / HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n400\r\n" + std::string(1024, 'a') +
             "\r\n1\r\nb\r\n",
         State::Failed, 413, ""},
        {"POST / HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\nffffffffffffffffff\r\n",
         State::Failed, 400, ""},
        {"POST / HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\n", State::Failed, 400, ""},
        {"POST / HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n1\r\nab\r\n", State::Failed, 400,
         ""},
        {"POST / HTTP/1.1\r\nX: " + std::string(300, 'x') + "\r\n\r\n", State::Failed, 431, ""},
        {"POST / HTTP/1.1\r\n" + std::string(300, 'x'), State::Failed, 431, ""},
        {"POST / HTTP/1.1\r\nA: 1\r\nB: 1\r\nC: 1\r\nD: 1\r\nE: 1\r\nF: 1\r\nG: 1\r\nH: 1\r\n"
         "I: 1\r\n\r\n",
         State::Failed, 431, ""},
        {"POST /\r\n\r\n", State::Failed, 400, ""},
        {"POST / HTTP/1.1 extra\r\n\r\n", State::Failed, 400, ""},
        {"POST / HTTP/2.0\r\n\r\n", State::Failed, 505, ""},
        {"POST / FTP/1.1\r\n\r\n", State::Failed, 400, ""},
        {"POST / HTTP/1.1\r\nBad Name: x\r\n\r\n", State::Failed, 400, ""},
        {"POST / HTTP/1.1\r\n\tfolded\r\n\r\n", State::Failed, 400, ""},
    };
    for (const auto& c : cases) {
        for (const std::size_t piece : {std::size_t{1}, std::size_t{7}, c.bytes.size()}) {
            SCOPED_TRACE(c.bytes.substr(0, 50) + " in pieces of " + std::to_string(piece));
            const Outcome out = read(c.bytes, piece);
            EXPECT_EQ(out.state, c.state);
            EXPECT_EQ(out.status, c.status);
            EXPECT_EQ(out.body, c.body);
        }
    }
}

TEST(RequestReader, HeadersAreFoundByLowerCaseNameWithBlanksTrimmed) {
    RequestReader reader(1024, 10);
    reader.feed("POST /orvane/v1/request HTTP/1.0\r\nContent-TYPE:  application/json \r\n"
                "X-A: 1\r\nx-a: 2\r\n\r\n");
    ASSERT_EQ(reader.state(), State::HeadDone);
    EXPECT_EQ(reader.head().method, "POST");
    EXPECT_EQ(reader.head().target, "/orvane/v1/request");
    EXPECT_EQ(reader.head().version, "HTTP/1.0");
    ASSERT_TRUE(reader.head().find("content-type"));
    EXPECT_EQ(*reader.head().find("content-type"), "application/json");
    EXPECT_EQ(reader.head().count("x-a"), 2u);
    EXPECT_EQ(reader.head().find("absent"), nullptr);
}

// What comes after one request is the start of the next.
TEST(RequestReader, BytesAfterARequestStartTheNext) {
    RequestReader reader(1024, 10);
    reader.feed("POST / HTTP/1.1\r\nContent-Length: 1\r\n\r\naPOST /2 HTTP/1.1\r\nContent-Len");
    ASSERT_EQ(reader.state(), State::HeadDone);
    reader.startBody(Framing::Length, 1, 10);
    ASSERT_EQ(reader.state(), State::Complete);
    EXPECT_EQ(reader.takeBody(), "a");
    reader.next();
    EXPECT_TRUE(reader.started());
    EXPECT_EQ(reader.state(), State::Head);
    reader.feed("gth: 2\r\n\r\nbc");
    ASSERT_EQ(reader.state(), State::HeadDone);
    EXPECT_EQ(reader.head().target, "/2");
    reader.startBody(Framing::Length, 2, 10);
    ASSERT_EQ(reader.state(), State::Complete);
    EXPECT_EQ(reader.takeBody(), "bc");
    reader.next();
    EXPECT_FALSE(reader.started());
}

TEST(RequestReader, OverTheLimitFailsWithTheStatusGiven) {
    RequestReader reader(1024, 10);
    reader.feed("POST / HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nabcde\r\n");
    reader.startBody(Framing::Chunked, 0, 4, 401, "log in first");
    EXPECT_EQ(reader.state(), State::Failed);
    EXPECT_EQ(reader.errorStatus(), 401);
    EXPECT_EQ(reader.error(), "log in first");
}
