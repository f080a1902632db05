#include "command_support.h"

#include "arguments.h"
#include "auth/password.h"
#include "console.h"
#include "store/store.h"

#include <cstdlib>
#include <filesystem>
#include <istream>
#include <ostream>
#include <stdexcept>
#include <termios.h>
#include <unistd.h>

namespace orvane::server {

namespace {

// Turns terminal echo off for its lifetime.
class EchoOff {
public:
    EchoOff() : active_(tcgetattr(STDIN_FILENO, &saved_) == 0) {
        if (!active_)
            return;
        termios quiet = saved_;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    }
    ~EchoOff() {
        if (active_)
            tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved_);
    }
    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;

private:
    termios saved_{};
    bool active_;
};

std::string askLine(Console& console, std::string_view prompt) {
    std::string line;
    if (console.terminal) {
        console.err << prompt << std::flush;
        EchoOff quiet;
        std::getline(console.in, line);
        console.err << '\n';
    } else {
        std::getline(console.in, line);
    }
    if (!console.in && line.empty())
        throw std::runtime_error(std::string("no password given: set ") + PasswordVariable +
                                 " or write it on standard input");
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}

} // namespace

void requireExistingDatabase(const std::string& path) {
    // A PostgreSQL database is made by its administrator; connecting tells.
    if (!isPostgresLocation(path) && !std::filesystem::exists(path))
        throw std::runtime_error("no database at " + path +
                                 "; create one with: orvane-server init --db " + path);
}

std::unique_ptr<Store> openExistingStore(const Arguments& args) {
    const std::string path = args.required("db");
    requireExistingDatabase(path);
    return std::make_unique<Store>(path, Database::DefaultBusyTimeout, filesBase(args));
}

std::string filesBase(const Arguments& args) {
    const auto folder = args.value("files");
    return folder ? (std::filesystem::path(*folder) / "orvane").string() : std::string();
}

std::string readNewPassword(Console& console, std::string_view operatorId) {
    std::string password;
    if (const char* fromEnvironment = std::getenv(PasswordVariable)) {
        password = fromEnvironment;
    } else {
        const std::string who(operatorId);
        password = askLine(console, "password for " + who + ": ");
        if (console.terminal && askLine(console, "the same again: ") != password)
            throw std::runtime_error("the two passwords differ; nothing changed");
    }
    if (!isAcceptablePassword(password))
        throw std::runtime_error("a password needs at least " + std::to_string(MinPasswordLength) +
                                 " characters");
    return password;
}

} // namespace orvane::server
