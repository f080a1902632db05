// velumar-rules: checks rule files (".dslr") before they are loaded, and
// writes them in their canonical form.
#include "commands.h"

#include <iostream>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::string_view kUsage = "usage: velumar-rules check [--json] FILE...\n"
                                    "       velumar-rules render FILE\n";

int Usage() {
    std::cerr << kUsage;
    return velumar_rules::kExitUnreadable;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty())
        return Usage();
    std::ios::sync_with_stdio(false);
    const std::string& command = args.front();
    if (command == "check") {
        bool json = false;
        std::vector<std::string> paths;
        for (std::size_t i = 1; i < args.size(); ++i) {
            if (args[i] == "--json" && paths.empty() && !json)
                json = true;
            else
                paths.push_back(args[i]);
        }
        if (paths.empty())
            return Usage();
        return velumar_rules::Check(paths, json, std::cout, std::cerr);
    }
    if (command == "render" && args.size() == 2)
        return velumar_rules::Render(args[1], std::cout, std::cerr);
    if (command == "--help" || command == "-h") {
        std::cout << kUsage;
        return velumar_rules::kExitOk;
    }
    return Usage();
}
