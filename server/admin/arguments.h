#pragma once
// The one option reader of the command line: "--name VALUE" (or
// "--name=VALUE") options, "--name" switches and plain words, checked
// against what a command accepts.

#include <map>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace orvane::server {

// A command line that does not fit the command: exit status 2.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct OptionSpec {
    std::string_view name; // without the leading "--"
    bool takesValue = true;
};

class Arguments {
public:
    // Throws UsageError for an option not accepted, a value missing or
    // given to a switch, and an option given twice.
    Arguments(std::span<const std::string> args, std::span<const OptionSpec> accepted);

    bool flag(std::string_view name) const { return options_.contains(name); }
    std::optional<std::string> value(std::string_view name) const;
    // The value, or UsageError naming the missing option.
    std::string required(std::string_view name) const;
    const std::vector<std::string>& words() const { return words_; }

private:
    std::map<std::string, std::string, std::less<>> options_;
    std::vector<std::string> words_;
};

} // namespace orvane::server
