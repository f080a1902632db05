#pragma once
// orvane-server run as its own process, as an operator runs it: a command
// to its end, or `serve` on a free port with requests over HTTP.

#include "protocol/json_codec.h"

#include <httplib.h>

#include <csignal>
#include <cstdio>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace orvane::server::testing {

inline int runServer(const std::vector<std::string>& args) {
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

    // `options` replace the log to /dev/null (--files, --log, --job-lease...).
    explicit ServeProcess(const std::string& db, std::vector<std::string> options = {}) {
        if (options.empty())
            options = {"--log", "/dev/null"};
        std::vector<std::string> args{ORVANE_SERVER_BINARY, "serve", "--db", db, "--listen",
                                      "127.0.0.1:0"};
        args.insert(args.end(), options.begin(), options.end());
        std::vector<char*> argv;
        for (auto& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        int fds[2];
        if (pipe(fds) != 0)
            return;
        pid = fork();
        if (pid == 0) {
            dup2(fds[1], STDOUT_FILENO);
            close(fds[0]);
            execv(ORVANE_SERVER_BINARY, argv.data());
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

    // As a crash or a power cut would: no chance to finish anything.
    void killHard() {
        if (pid <= 0)
            return;
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        pid = -1;
    }

    // A failed assertion must not leave the server running behind the test.
    ~ServeProcess() {
        if (pid > 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    }
};

inline wire::Answer post(httplib::Client& client, const wire::Request& request, const std::string& token) {
    httplib::Headers headers;
    if (!token.empty())
        headers.emplace("Authorization", "Bearer " + token);
    auto res = client.Post("/orvane/v1/request", headers, wire::encodeRequest(request),
                           "application/json");
    if (!res || res->status != 200)
        return {-1, {}};
    return wire::decodeAnswer(res->body).value.value_or(wire::Answer{-2, {}});
}

} // namespace orvane::server::testing
