// velumar-rules: checks rule files (".dslr") before they are loaded, and
// writes them in their canonical form.
#include "commands.h"

#include <iostream>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::string_view kUsage =
    "usage: velumar-rules check [--json] FILE...\n"
    "       velumar-rules render FILE\n"
    "       velumar-rules apply [--scan] [--order PATTERNS] [--json] DOC.dslr... IN.mrc OUT-DIR\n";

int Usage() {
    std::cerr << kUsage;
    return velumar_rules::kExitUnreadable;
}

// apply's options come first; the last two arguments are the input file and
// the output folder, and every argument before them a rule document.
int Apply(const std::vector<std::string>& args) {
    velumar_rules::ApplyOptions options;
    std::size_t i = 1;
    for (; i < args.size(); ++i) {
        if (args[i] == "--scan")
            options.scan = true;
        else if (args[i] == "--json")
            options.json = true;
        else if (args[i] == "--order" && i + 1 < args.size())
            options.order = args[++i];
        else
            break;
    }
    if (args.size() < i + 3)
        return Usage();
    options.documents.assign(args.begin() + static_cast<std::ptrdiff_t>(i), args.end() - 2);
    options.input = args[args.size() - 2];
    options.outputFolder = args.back();
    return velumar_rules::Apply(options, std::cout, std::cerr);
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
    if (command == "apply")
        return Apply(args);
    if (command == "render" && args.size() == 2)
        return velumar_rules::Render(args[1], std::cout, std::cerr);
    if (command == "--help" || command == "-h") {
        std::cout << kUsage;
        return velumar_rules::kExitOk;
    }
    return Usage();
}
