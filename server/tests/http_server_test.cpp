// The HTTP front end: every kind of bad input is answered with a JSON
// error and the server goes on serving.

#include "core/server_core.h"
#include "http/http_server.h"
#include "protocol/json_codec.h"
#include "protocol/status.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <filesystem>
#include <thread>

using namespace orvane;
using namespace orvane::server;
namespace fs = std::filesystem;

namespace {

class HttpServerTest : public ::testing::Test {
protected:
    void SetUp() override {
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

        http_ = std::make_unique<HttpServer>(core_->endpoint(), core_->log());
        port_ = http_->bind("127.0.0.1", 0);
        ASSERT_GT(port_, 0);
        thread_ = std::thread([this] { http_->serve(); });
        client_ = std::make_unique<httplib::Client>("127.0.0.1", port_);
        client_->set_connection_timeout(5);
    }
    void TearDown() override {
        http_->stop();
        thread_.join();
        http_.reset();
        core_.reset();
        fs::remove_all(dir_);
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
    expectJsonError(post(body, token_), 400);
    // Far beyond what the server reads at all.
    std::string huge(Endpoint::MaxBodyBytes * 2 + 16, 'x');
    auto res = post(huge, token_);
    if (res) // the server may also just close the connection
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
