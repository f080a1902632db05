// The same conversation over HTTP to one server and in-process to another,
// both seeded with the demo data: the client must not be able to tell them
// apart. Also what each transport answers when no answer can come.
#include "answer_reader.h"
#include "core/server_core.h"
#include "demo/seed.h"
#include "embedded_server.h"
#include "embedded_transport.h"
#include "http/http_server.h"
#include "http_transport.h"
#include "protocol/status.h"

#include <QTemporaryDir>
#include <arpa/inet.h>
#include <chrono>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace orvane {
namespace {

using namespace std::chrono_literals;

std::string tokenOf(const TransportResult& login) {
    return AnswerReader(login.answer).text("TK").toStdString();
}

// LOGIN, OPEN, the start-up reads, an unknown code, someone else's data,
// LOGOUT, and a request on the ended session.
std::vector<TransportResult> converse(Transport& transport) {
    std::vector<TransportResult> results;
    results.push_back(transport.exchange({"LOGIN", {{"OI", "demo"}, {"PW", "demo"}}}, ""));
    const std::string token = tokenOf(results.back());
    for (const wire::Request& request :
         std::vector<wire::Request>{{"OPEN", {{"AC", 5}}},
                                    {"GETCHARSETS", {}},
                                    {"GET_VLM_SECURITY", {{"OI", "demo"}}},
                                    {"NO_SUCH_REQUEST", {}},
                                    {"GET_VLM_SECURITY", {{"OI", "someone"}}},
                                    {"LOGOUT", {}},
                                    {"GETCHARSETS", {}}})
        results.push_back(transport.exchange(request, token));
    return results;
}

// The token differs from server to server; everything else must not.
void blankToken(std::vector<TransportResult>& results) {
    for (auto& result : results)
        for (auto& field : result.answer.fields)
            if (field.key == "TK")
                field.value = std::string();
}

class HttpServerFixture : public ::testing::Test {
protected:
    void SetUp() override {
        server::ServerOptions options;
        options.dbPath = dir.filePath("http.db").toStdString();
        options.logPath = dir.filePath("http-server.log").toStdString();
        core = std::make_unique<server::ServerCore>(options);
        server::initialiseStore(core->store(), /*demo=*/true);
        http = std::make_unique<server::HttpServer>(core->endpoint(), core->log());
        port = http->bind("127.0.0.1", 0);
        ASSERT_GT(port, 0);
        serving = std::thread([this] { http->serve(); });
    }
    void TearDown() override {
        if (serving.joinable()) {
            // Serving has begun once an exchange was answered; make sure of it.
            HttpTransport(url()).exchange({"LOGOUT", {}}, "");
            http->stop();
            serving.join();
        }
    }
    QString url() const { return QStringLiteral("http://127.0.0.1:%1").arg(port); }

    QTemporaryDir dir;
    std::unique_ptr<server::ServerCore> core;
    std::unique_ptr<server::HttpServer> http;
    std::thread serving;
    int port = 0;
};

TEST_F(HttpServerFixture, HttpAndEmbeddedServersAnswerTheSame) {
    HttpTransport overHttp(url() + "/");
    EmbeddedTransport inProcess(openEmbeddedServer(dir.filePath("embedded.db")));

    auto viaHttp = converse(overHttp);
    auto viaEmbedded = converse(inProcess);

    std::vector<qint32> statuses;
    for (const auto& r : viaHttp)
        statuses.push_back(r.status);
    EXPECT_EQ(statuses,
              (std::vector<qint32>{0, 0, 0, 0, wire::status::UnknownRequest,
                                   wire::status::NotAuthorized, 0, wire::status::NotLoggedIn}));
    ASSERT_FALSE(tokenOf(viaHttp[0]).empty());
    ASSERT_FALSE(tokenOf(viaEmbedded[0]).empty());
    EXPECT_NE(tokenOf(viaHttp[0]), tokenOf(viaEmbedded[0]));

    AnswerReader charsets(viaHttp[2].answer);
    EXPECT_GT(charsets.count("CSID"), 0);
    ASSERT_TRUE(charsets.next("CSID"));
    EXPECT_FALSE(charsets.text("CSN").isEmpty());
    EXPECT_TRUE(AnswerReader(viaHttp[3].answer).flag("AV")); // demo holds every right

    blankToken(viaHttp);
    blankToken(viaEmbedded);
    ASSERT_EQ(viaHttp.size(), viaEmbedded.size());
    for (std::size_t i = 0; i < viaHttp.size(); ++i) {
        EXPECT_EQ(viaHttp[i].status, viaEmbedded[i].status) << "exchange " << i;
        EXPECT_EQ(viaHttp[i].answer, viaEmbedded[i].answer) << "exchange " << i;
        EXPECT_EQ(viaHttp[i].error, viaEmbedded[i].error) << "exchange " << i;
    }
}

TEST_F(HttpServerFixture, AnUnknownTokenIsNotLoggedIn) {
    const auto result = HttpTransport(url()).exchange({"GETCHARSETS", {}}, "no-such-token");
    EXPECT_EQ(result.status, wire::status::NotLoggedIn);
    EXPECT_FALSE(result.error.empty());
    EXPECT_TRUE(result.answer.fields.empty());
}

TEST_F(HttpServerFixture, AMalformedRequestIsRejectedWithTheServersReason) {
    const auto result = HttpTransport(url()).exchange({"", {}}, "");
    EXPECT_EQ(result.status, wire::status::Rejected);
    EXPECT_NE(result.error.find("code"), std::string::npos) << result.error;
}

// A port on 127.0.0.1 that nothing listens on.
int closedPort() {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        ::close(s);
        return -1;
    }
    ::close(s);
    return ntohs(address.sin_port);
}

TEST(HttpTransport, ARefusedConnectionIsUnreachableAtOnce) {
    const int port = closedPort();
    ASSERT_GT(port, 0);
    HttpTimeouts timeouts;
    timeouts.connect = 30s; // a refusal must not wait for this
    HttpTransport transport(QStringLiteral("http://127.0.0.1:%1").arg(port), timeouts);

    const auto start = std::chrono::steady_clock::now();
    const auto result = transport.exchange({"LOGIN", {{"OI", "demo"}}}, "");
    EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
    EXPECT_EQ(result.status, wire::status::Unreachable);
    EXPECT_FALSE(result.error.empty());
}

TEST(HttpTransport, AnAddressThatIsNotAServerUrlIsUnreachable) {
    for (const char* url : {"ftp://lib.example", "lib.example:8080", "http://"}) {
        const auto result = HttpTransport(url).exchange({"LOGIN", {}}, "");
        EXPECT_EQ(result.status, wire::status::Unreachable) << url;
        EXPECT_NE(result.error.find(url), std::string::npos) << result.error;
    }
}

TEST(EmbeddedTransport, AnIdleSessionExpires) {
    QTemporaryDir dir;
    auto now = std::chrono::steady_clock::now();
    server::ServerOptions options;
    options.dbPath = dir.filePath("idle.db").toStdString();
    options.logPath = dir.filePath("server.log").toStdString();
    options.sessionIdleLimit = 60s;
    options.clock = [&now] { return now; };
    auto core = std::make_shared<server::ServerCore>(options);
    server::initialiseStore(core->store(), /*demo=*/true);
    EmbeddedTransport transport(core);

    const std::string token =
        tokenOf(transport.exchange({"LOGIN", {{"OI", "demo"}, {"PW", "demo"}}}, ""));
    ASSERT_FALSE(token.empty());
    EXPECT_EQ(transport.exchange({"GETCHARSETS", {}}, token).status, 0);
    now += 61s;
    EXPECT_EQ(transport.exchange({"GETCHARSETS", {}}, token).status, wire::status::NotLoggedIn);
}

TEST(EmbeddedServer, AFirstRunCreatesAndFillsTheDatabaseAndTrustsTheLocalOperator) {
    QTemporaryDir dir;
    const QString path = dir.filePath("new/folder/velumar.db");
    EmbeddedTransport transport(openEmbeddedServer(path));
    EXPECT_TRUE(QFile::exists(path));
    const auto login = transport.exchange({"LOGIN", {{"OI", "demo"}}}, "");
    EXPECT_EQ(login.status, 0);
    EXPECT_FALSE(tokenOf(login).empty());
}

} // namespace
} // namespace orvane
