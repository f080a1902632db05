#pragma once
// Runs orvane-server's command line in this process, on a console of
// strings, for the administration tests.

#include "admin/command_support.h"
#include "admin/commands.h"
#include "admin/console.h"

#include <optional>
#include <sstream>
#include <stdlib.h>
#include <string>
#include <vector>

namespace orvane::server::testing {

struct CommandRun {
    int status = -1;
    std::string out;
    std::string err;
};

inline CommandRun runCommand(const std::vector<std::string>& args, const std::string& input = {}) {
    std::istringstream in(input);
    std::ostringstream out;
    std::ostringstream err;
    Console console{in, out, err};
    const int status = runCommandLine(args, console);
    return {status, out.str(), err.str()};
}

// Sets (or, given nothing, unsets) the password variable for its lifetime.
class PasswordEnvironment {
public:
    explicit PasswordEnvironment(std::optional<std::string> value = std::nullopt) {
        if (const char* old = ::getenv(server::PasswordVariable))
            saved_ = old;
        set(value);
    }
    ~PasswordEnvironment() { set(saved_); }
    PasswordEnvironment(const PasswordEnvironment&) = delete;
    PasswordEnvironment& operator=(const PasswordEnvironment&) = delete;

private:
    static void set(const std::optional<std::string>& value) {
        if (value)
            ::setenv(server::PasswordVariable, value->c_str(), 1);
        else
            ::unsetenv(server::PasswordVariable);
    }
    std::optional<std::string> saved_;
};

} // namespace orvane::server::testing
