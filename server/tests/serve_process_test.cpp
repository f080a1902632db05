// orvane-server as an operator runs it: init, serve on a free port, a LOGIN
// and a GETCHARSETS over HTTP, then a clean stop on SIGTERM.

#include "protocol/json_codec.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace orvane;

namespace {

int runServer(const std::vector<std::string>& args) {
    std::string command = ORVANE_SERVER_BINARY;
    for (const auto& a : args)
        command += " '" + a + "'";
    command += " >/dev/null 2>&1";
    return WEXITSTATUS(std::system(command.c_str()));
}

// Starts `serve` with its stdout on a pipe and reads the port it prints.
struct ServeProcess {
    pid_t pid = -1;
    int port = -1;

    explicit ServeProcess(const std::string& db) {
        int fds[2];
        if (pipe(fds) != 0)
            return;
        pid = fork();
        if (pid == 0) {
            dup2(fds[1], STDOUT_FILENO);
            close(fds[0]);
            execl(ORVANE_SERVER_BINARY, ORVANE_SERVER_BINARY, "serve", "--db", db.c_str(),
                  "--listen", "127.0.0.1:0", "--log", "/dev/null", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        FILE* out = fdopen(fds[0], "r");
        char line[256];
        while (out && std::fgets(line, sizeof line, out)) {
            std::string text(line);
            auto at = text.find("127.0.0.1:");
            if (text.find("listening on") != std::string::npos && at != std::string::npos) {
                port = std::stoi(text.substr(at + 10));
                break;
            }
        }
        if (out)
            std::fclose(out);
    }

    int stop() {
        if (pid <= 0)
            return -1;
        int status = 0;
        kill(pid, SIGTERM);
        waitpid(pid, &status, 0);
        pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    // A failed assertion must not leave the server running behind the test.
    ~ServeProcess() {
        if (pid > 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    }
};

wire::Answer post(httplib::Client& client, const wire::Request& request, const std::string& token) {
    httplib::Headers headers;
    if (!token.empty())
        headers.emplace("Authorization", "Bearer " + token);
    auto res = client.Post("/orvane/v1/request", headers, wire::encodeRequest(request),
                           "application/json");
    if (!res || res->status != 200)
        return {-1, {}};
    return wire::decodeAnswer(res->body).value.value_or(wire::Answer{-2, {}});
}

} // namespace

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
