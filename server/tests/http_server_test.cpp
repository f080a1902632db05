// The HTTP front end: every kind of bad input is answered with a JSON
// error and the server goes on serving.

#include "core/server_core.h"
#include "http/http_server.h"
#include "protocol/json_codec.h"
#include "protocol/status.h"
#include "raw_http_client.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <csignal>
#include <filesystem>
#include <thread>

using namespace orvane;
using namespace orvane::server;
using orvane::server::testing::postBytes;
using orvane::server::testing::RawHttpClient;
namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

class HttpServerTest : public ::testing::Test {
protected:
    void SetUp() override {
        // A refused body may meet a closed connection; the client sees an error, not a signal.
        std::signal(SIGPIPE, SIG_IGN);
        dir_ = fs::temp_directory_path() / ("velumar-http-" + std::to_string(::getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        ServerOptions options;
        options.dbPath = (dir_ / "s.db").string();
        core_ = std::make_unique<ServerCore>(options);
        core_->log().mute(true);
        core_->store().db().exec(
            "INSERT INTO operators(operator_id, password_hash) VALUES ('tester', 'x')");
        token_ = core_->sessions().open(core_->store().db().lastInsertId(), "tester").token;
        start({});
    }
    void TearDown() override {
        halt();
        core_.reset();
        fs::remove_all(dir_);
    }

    // (Re)starts the front with these limits, on a free port.
    void start(HttpLimits limits) {
        halt();
        http_ = std::make_unique<HttpServer>(core_->endpoint(), core_->log(), TlsFiles{}, limits);
        port_ = http_->bind("127.0.0.1", 0);
        ASSERT_GT(port_, 0);
        thread_ = std::thread([this] { http_->serve(); });
        client_ = std::make_unique<httplib::Client>("127.0.0.1", port_);
        client_->set_connection_timeout(5);
        client_->set_read_timeout(5);
    }
    void halt() {
        if (!http_)
            return;
        http_->stop();
        thread_.join();
        http_.reset();
    }

    httplib::Result post(const std::string& body, const std::string& token) {
        httplib::Headers headers;
        if (!token.empty())
            headers.emplace("Authorization", "Bearer " + token);
        return client_->Post("/orvane/v1/request", headers, body, "application/json");
    }

    // The server still answers a well-formed request properly.
    void expectStillServing() {
        auto res = post(R"({"code":"NO_SUCH_REQUEST"})", token_);
        ASSERT_TRUE(res);
        ASSERT_EQ(res->status, 200);
        auto answer = wire::decodeAnswer(res->body);
        ASSERT_TRUE(answer.value) << res->body;
        EXPECT_EQ(answer.value->status, wire::status::UnknownRequest);
    }

    static void expectJsonError(const httplib::Result& res, int status) {
        ASSERT_TRUE(res);
        EXPECT_EQ(res->status, status);
        EXPECT_EQ(res->get_header_value("Content-Type"), "application/json");
        EXPECT_FALSE(wire::decodeError(res->body).empty()) << res->body;
    }

    fs::path dir_;
    std::unique_ptr<ServerCore> core_;
    std::unique_ptr<HttpServer> http_;
    std::unique_ptr<httplib::Client> client_;
    std::thread thread_;
    std::string token_;
    int port_ = 0;
};

} // namespace

TEST_F(HttpServerTest, UnknownCodeWithValidTokenGetsStatus90) { expectStillServing(); }

TEST_F(HttpServerTest, MissingOrUnknownTokenIs401) {
    expectJsonError(post(R"({"code":"GETCHARSETS"})", ""), 401);
    expectJsonError(post(R"({"code":"GETCHARSETS"})", "0123abcd"), 401);
    expectStillServing();
}

TEST_F(HttpServerTest, MalformedBodiesAre400AndServingGoesOn) {
    for (const char* body : {"", "garbage{", "[]", R"({"code":1})",
                             R"({"code":"X","fields":[["OI",{"a":1}]]})",
                             "\xff\xfe\x00\x01"}) {
        SCOPED_TRACE(body);
        expectJsonError(post(body, token_), 400);
    }
    expectStillServing();
}

TEST_F(HttpServerTest, OversizedBodyIsRefused) {
    std::string body = R"({"code":"X","fields":[["MR",")";
    body.append(Endpoint::MaxBodyBytes, 'a');
    body += R"("]]})";
    // Refused from its Content-Length, before the body is read; the server
    // may close before the client has written it all.
    auto res = post(body, token_);
    if (res)
        expectJsonError(res, 413);
    expectStillServing();
}

TEST_F(HttpServerTest, WrongPathAndMethodAreJsonErrors) {
    expectJsonError(client_->Post("/other", "{}", "application/json"), 404);
    expectJsonError(client_->Get("/orvane/v1/request"), 404);
    expectStillServing();
}

TEST_F(HttpServerTest, ManyClientsAtOnce) {
    std::vector<std::thread> clients;
    std::atomic<int> ok{0};
    for (int i = 0; i < 8; ++i)
        clients.emplace_back([&] {
            httplib::Client c("127.0.0.1", port_);
            for (int j = 0; j < 10; ++j) {
                auto res = c.Post("/orvane/v1/request",
                                  {{"Authorization", "Bearer " + token_}},
                                  R"({"code":"NO_SUCH_REQUEST"})", "application/json");
                if (res && res->status == 200)
                    ++ok;
            }
        });
    for (auto& t : clients)
        t.join();
    EXPECT_EQ(ok, 80);
}

// A second server on an address in use must fail to bind, not share the
// port: the kernel would split connections between two session tables.
TEST_F(HttpServerTest, AddressInUseIsRefused) {
    HttpServer second(core_->endpoint(), core_->log());
    EXPECT_EQ(second.bind("127.0.0.1", port_), -1);
    expectStillServing();
}

// Slow clients hold no worker: with two workers and forty connections
// dribbling their heads, a whole request is answered; and each dribbling
// connection is cut off with 408 once its deadline passes, however steadily
// it sends.
TEST_F(HttpServerTest, SlowClientsHoldNoWorkerAndAreCutOffAtTheDeadline) {
    HttpLimits limits;
    limits.workers = 2;
    limits.requestTimeout = 1s;
    start(limits);

    std::vector<std::unique_ptr<RawHttpClient>> slow;
    for (int i = 0; i < 40; ++i) {
        slow.push_back(std::make_unique<RawHttpClient>(port_));
        ASSERT_TRUE(slow.back()->connected());
        slow.back()->send("POST /orvane/v1/request HTTP/1.1\r\n");
    }
    std::atomic<bool> dribbling{true};
    std::thread dribbler([&] {
        // One header line per connection every 100 ms, for at most 6 s.
        for (int line = 0; line < 60 && dribbling; ++line) {
            for (auto& c : slow)
                c->send("X-Slow-" + std::to_string(line) + ": y\r\n");
            std::this_thread::sleep_for(100ms);
        }
    });

    std::this_thread::sleep_for(200ms);
    expectStillServing();

    std::size_t cut = 0;
    for (auto& c : slow) {
        c->receive(6s);
        if (c->statuses() == "408")
            ++cut;
    }
    dribbling = false;
    dribbler.join();
    EXPECT_EQ(cut, slow.size());
}

// A connection that never sends a byte is closed at the deadline too.
TEST_F(HttpServerTest, SilentConnectionIsClosed) {
    HttpLimits limits;
    limits.requestTimeout = 300ms;
    start(limits);
    RawHttpClient silent(port_);
    ASSERT_TRUE(silent.connected());
    EXPECT_TRUE(silent.receive(5s)) << "the server kept the connection open";
    EXPECT_EQ(silent.received(), "");
}

// Requests sent back to back on one connection, even in one write, are all
// answered, in order, on that connection.
TEST_F(HttpServerTest, KeptAliveAndPipelinedRequestsAreAnswered) {
    RawHttpClient client(port_);
    ASSERT_TRUE(client.connected());
    const std::string request = postBytes(R"({"code":"NO_SUCH_REQUEST"})", token_);
    ASSERT_TRUE(client.send(request + request + request));
    client.receiveAnswers(3, 5s);
    EXPECT_EQ(client.statuses(), "200 200 200");
    ASSERT_TRUE(client.send(request));
    client.receiveAnswers(4, 5s);
    EXPECT_EQ(client.statuses(), "200 200 200 200");
}

// The server's answers to heads it cannot take, before any body is read.
TEST_F(HttpServerTest, BadHeadsGetTheirStatus) {
    const std::string body = R"({"code":"NO_SUCH_REQUEST"})";
    const std::string length = "Content-Length: " + std::to_string(body.size()) + "\r\n";
    const struct {
        std::string bytes;
        std::string status;
    } cases[] = {
        {"GARBAGE\r\n\r\n", "400"},
        {"POST /orvane/v1/request HTTP/2.0\r\n\r\n", "505"},
        {"GET /orvane/v1/request HTTP/1.1\r\n\r\n", "404"},
        {"POST /other HTTP/1.1\r\n" + length + "\r\n" + body, "404"},
        {"POST /orvane/v1/request HTTP/1.1\r\n" + length + length + "\r\n" + body, "400"},
        {"POST /orvane/v1/request HTTP/1.1\r\nContent-Length: 12x\r\n\r\n", "400"},
        {"POST /orvane/v1/request HTTP/1.1\r\nTransfer-Encoding: gzip\r\n\r\n", "501"},
        {"POST /orvane/v1/request HTTP/1.1\r\nTransfer-Encoding: chunked\r\n" + length +
             "\r\n",
         "400"},
        {"POST /orvane/v1/request HTTP/1.1\r\n Folded: x\r\n\r\n", "400"},
        {"POST /orvane/v1/request HTTP/1.1\r\nNo colon here\r\n\r\n", "400"},
        {"POST /orvane/v1/request HTTP/1.1\r\nX: " + std::string(20000, 'a') + "\r\n\r\n",
         "431"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes.substr(0, 60));
        RawHttpClient client(port_);
        ASSERT_TRUE(client.connected());
        client.send(c.bytes);
        client.receive(5s);
        EXPECT_EQ(client.statuses(), c.status);
        EXPECT_NE(client.received().find("Connection: close"), std::string::npos);
    }
    expectStillServing();
}

TEST_F(HttpServerTest, ChunkedBodyIsRead) {
    RawHttpClient client(port_);
    ASSERT_TRUE(client.connected());
    client.send("POST /orvane/v1/request HTTP/1.1\r\nContent-Type: application/json\r\n"
                "Authorization: Bearer " + token_ +
                "\r\nTransfer-Encoding: chunked\r\n\r\n"
                "5\r\n{\"cod\r\n15;ext=1\r\ne\":\"NO_SUCH_REQUEST\"}\r\n0\r\nTrailer: x\r\n\r\n");
    client.receiveAnswers(1, 5s);
    EXPECT_EQ(client.statuses(), "200");
    EXPECT_NE(client.received().find(R"({"fields":[],"status":90})"), std::string::npos)
        << client.received();
}

// Bodies over the limit are refused while they arrive, chunked or not;
// nothing is read (or kept) beyond it.
TEST_F(HttpServerTest, BodiesOverTheLimitAreRefusedAsTheyArrive) {
    HttpLimits limits;
    limits.maxBodyBytes = 64 * 1024;
    limits.maxAnonymousBodyBytes = 4 * 1024;
    start(limits);

    RawHttpClient chunked(port_);
    chunked.send("POST /orvane/v1/request HTTP/1.1\r\nContent-Type: application/json\r\n"
                 "Authorization: Bearer " + token_ + "\r\nTransfer-Encoding: chunked\r\n\r\n");
    const std::string chunk = "4000\r\n" + std::string(0x4000, ' ') + "\r\n";
    std::size_t sent = 0;
    while (sent < 64 * chunk.size() && chunked.send(chunk)) {
        sent += chunk.size();
        if (chunked.receive(10ms) || !chunked.received().empty())
            break;
    }
    chunked.receive(5s);
    EXPECT_EQ(chunked.statuses(), "413");
    EXPECT_LT(sent, 16 * chunk.size()) << "the server read on past the limit";

    // Framed by length, refused from the head alone.
    RawHttpClient framed(port_);
    framed.send("POST /orvane/v1/request HTTP/1.1\r\nContent-Type: application/json\r\n"
                "Authorization: Bearer " + token_ + "\r\nContent-Length: 65537\r\n\r\n");
    framed.receive(5s);
    EXPECT_EQ(framed.statuses(), "413");
    expectStillServing();
}

// Without a known token a body can only be a LOGIN, which is small: a larger
// one is refused from its head with 401, as its request would be.
TEST_F(HttpServerTest, LargeBodyWithoutKnownTokenIsRefusedFromItsHead) {
    HttpLimits limits;
    limits.maxAnonymousBodyBytes = 4 * 1024;
    start(limits);
    const struct {
        std::string authorization;
        std::string status;
    } cases[] = {
        {"", "401"},
        {"Authorization: Bearer 0123abcd\r\n", "401"},
        {"Authorization: Basic Zm9vOmJhcg==\r\n", "401"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.authorization);
        RawHttpClient client(port_);
        client.send("POST /orvane/v1/request HTTP/1.1\r\nContent-Type: application/json\r\n" +
                    c.authorization + "Content-Length: 10000000\r\n\r\n");
        client.receive(5s);
        EXPECT_EQ(client.statuses(), c.status);
    }
    // A small body without a token still reaches LOGIN, and with an unknown one too.
    RawHttpClient login(port_);
    login.send(postBytes(R"({"code":"LOGIN","fields":[["OI","nobody"],["PW","x"]]})",
                         "0123abcd"));
    login.receiveAnswers(1, 5s);
    EXPECT_EQ(login.statuses(), "200");
    EXPECT_NE(login.received().find(R"("status":6)"), std::string::npos) << login.received();
}

TEST_F(HttpServerTest, DeeplyNestedBodyIsRefused) {
    auto res = post(R"({"code":"X","fields":[)" + std::string(1 << 20, '['), token_);
    expectJsonError(res, 400);
    EXPECT_NE(wire::decodeError(res->body).find("nested"), std::string::npos) << res->body;
    expectStillServing();
}

// Only JSON bodies reach a handler: a form a web page posts across sites
// (which needs no permission from the server) is refused from its head.
TEST_F(HttpServerTest, OnlyJsonBodiesAreAccepted) {
    const std::string body = R"({"code":"NO_SUCH_REQUEST"})";
    const struct {
        std::string contentType;
        std::string status;
    } cases[] = {
        {"Content-Type: application/json\r\n", "200"},
        {"Content-Type: application/json; charset=utf-8\r\n", "200"},
        {"Content-Type: Application/JSON\r\n", "200"},
        {"Content-Type: text/plain\r\n", "415"},
        {"Content-Type: application/x-www-form-urlencoded\r\n", "415"},
        {"Content-Type: multipart/form-data; boundary=x\r\n", "415"},
        {"Content-Type: application/jsonp\r\n", "415"},
        {"", "415"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.contentType);
        RawHttpClient client(port_);
        client.send("POST /orvane/v1/request HTTP/1.1\r\nAuthorization: Bearer " + token_ +
                    "\r\n" + c.contentType + "Content-Length: " + std::to_string(body.size()) +
                    "\r\n\r\n" + body);
        client.receiveAnswers(1, 5s);
        EXPECT_EQ(client.statuses(), c.status);
    }
}
