// orvane-server as an operator runs it: init, serve on a free port, a LOGIN
// and a GETCHARSETS over HTTP, then a clean stop on SIGTERM.

#include "serve_process.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace fs = std::filesystem;
using namespace orvane;
using orvane::server::testing::post;
using orvane::server::testing::runServer;
using orvane::server::testing::ServeProcess;

TEST(ServeProcess, AnswersLoginAndCharsetsThenStopsCleanly) {
    const fs::path dir = fs::temp_directory_path() / ("velumar-serve-" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    const std::string db = (dir / "orvane.db").string();

    // Serving a database that was never initialised is refused.
    EXPECT_NE(runServer({"serve", "--db", db, "--listen", "127.0.0.1:0"}), 0);
    ASSERT_EQ(runServer({"init", "--db", db, "--demo"}), 0);

    ServeProcess server(db);
    ASSERT_GT(server.port, 0) << "serve printed no listening line";
    httplib::Client client("127.0.0.1", server.port);

    auto login = post(client, {"LOGIN", {{"OI", std::string("demo")}, {"PW", std::string("demo")}}}, "");
    ASSERT_EQ(login.status, 0);
    const auto* tk = wire::findField(login.fields, "TK");
    ASSERT_TRUE(tk);
    const std::string token = std::get<std::string>(tk->value);

    auto charsets = post(client, {"GETCHARSETS", {}}, token);
    ASSERT_EQ(charsets.status, 0);
    ASSERT_GE(charsets.fields.size(), 3u);
    EXPECT_EQ(charsets.fields[0].key, "CSID");
    EXPECT_EQ(charsets.fields[1], (wire::Field{"CSC", std::string("A")}));

    EXPECT_EQ(server.stop(), 0);
    fs::remove_all(dir);
}
