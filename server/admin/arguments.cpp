#include "arguments.h"

#include <algorithm>

namespace orvane::server {

Arguments::Arguments(std::span<const std::string> args, std::span<const OptionSpec> accepted) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.size() < 3 || !arg.starts_with("--")) {
            if (arg.starts_with("-") && arg != "-")
                throw UsageError("unknown option " + arg);
            words_.push_back(arg);
            continue;
        }
        const auto equals = arg.find('=');
        const std::string name = arg.substr(2, equals == std::string::npos ? equals : equals - 2);
        const auto known = std::find_if(accepted.begin(), accepted.end(),
                                        [&](const OptionSpec& s) { return s.name == name; });
        if (known == accepted.end())
            throw UsageError("unknown option --" + name);
        if (options_.contains(name))
            throw UsageError("--" + name + " is given twice");

        std::string value;
        if (equals != std::string::npos) {
            if (!known->takesValue)
                throw UsageError("--" + name + " takes no value");
            value = arg.substr(equals + 1);
        } else if (known->takesValue) {
            if (i + 1 == args.size() || args[i + 1].starts_with("--"))
                throw UsageError("--" + name + " needs a value");
            value = args[++i];
        }
        options_.emplace(name, std::move(value));
    }
}

std::optional<std::string> Arguments::value(std::string_view name) const {
    auto it = options_.find(name);
    if (it == options_.end())
        return std::nullopt;
    return it->second;
}

std::string Arguments::required(std::string_view name) const {
    auto found = value(name);
    if (!found || found->empty())
        throw UsageError("--" + std::string(name) + " is required");
    return *found;
}

} // namespace orvane::server
