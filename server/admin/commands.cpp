#include "commands.h"

#include "command.h"
#include "console.h"

#include <algorithm>
#include <iostream>
#include <unistd.h>

namespace orvane::server {

namespace {

constexpr std::string_view Program = "orvane-server";

std::vector<Command> allCommands() {
    std::vector<Command> commands{initCommand(), serveCommand(), moveCommand()};
    auto append = [&](std::vector<Command> group) {
        std::move(group.begin(), group.end(), std::back_inserter(commands));
    };
    append(operatorCommands());
    append(libraryCommands());
    append(locationCommands());
    append(catalogueCommands());
    append(jobCommands());
    return commands;
}

std::vector<std::string_view> wordsOf(std::string_view words) {
    std::vector<std::string_view> out;
    while (!words.empty()) {
        const auto space = words.find(' ');
        out.push_back(words.substr(0, space));
        words = space == std::string_view::npos ? std::string_view() : words.substr(space + 1);
    }
    return out;
}

bool startsWithWords(std::span<const std::string> args, std::string_view words) {
    const auto wanted = wordsOf(words);
    return args.size() >= wanted.size() && std::equal(wanted.begin(), wanted.end(), args.begin());
}

void printUsage(std::ostream& out, const Command& command) {
    out << "usage: " << Program << ' ' << command.words << ' ' << command.synopsis << '\n';
}

// Every command whose first word is group ("" for all), with its summary.
void printCommands(std::ostream& out, const std::vector<Command>& commands,
                   std::string_view group) {
    out << "usage: " << Program << " COMMAND [OPTIONS]\n\ncommands:\n";
    for (const auto& command : commands) {
        if (!group.empty() && wordsOf(command.words).front() != group)
            continue;
        out << "  " << command.words << ' ' << command.synopsis << "\n      " << command.summary
            << '\n';
    }
    out << "\n'" << Program << " COMMAND --help' shows one command's usage.\n";
}

bool isHelp(std::string_view arg) {
    return arg == "--help" || arg == "-h" || arg == "help";
}

int runCommand(const Command& command, std::span<const std::string> rest, Console& console) {
    const std::string name = std::string(Program) + ' ' + std::string(command.words);
    try {
        std::vector<OptionSpec> accepted = command.options;
        accepted.push_back({"help", false});
        const Arguments args(rest, accepted);
        if (args.flag("help")) {
            printUsage(console.out, command);
            console.out << command.summary << '\n';
            return 0;
        }
        if (!command.takesWords && !args.words().empty())
            throw UsageError("unexpected argument " + args.words().front());
        command.run(args, console);
        return 0;
    } catch (const UsageError& e) {
        console.err << name << ": " << e.what() << '\n';
        printUsage(console.err, command);
        return 2;
    } catch (const std::exception& e) {
        console.err << name << ": " << e.what() << '\n';
        return 1;
    }
}

} // namespace

int runCommandLine(std::span<const std::string> args, Console& console) {
    const auto commands = allCommands();
    if (args.empty()) {
        printCommands(console.err, commands, {});
        return 2;
    }
    if (isHelp(args.front())) {
        printCommands(console.out, commands, {});
        return 0;
    }
    const auto found = std::find_if(commands.begin(), commands.end(), [&](const Command& c) {
        return startsWithWords(args, c.words);
    });
    if (found != commands.end())
        return runCommand(*found, args.subspan(wordsOf(found->words).size()), console);

    const std::string_view group = args.front();
    const bool isGroup = std::any_of(commands.begin(), commands.end(), [&](const Command& c) {
        return wordsOf(c.words).front() == group;
    });
    if (isGroup && args.size() > 1 && isHelp(args[1])) {
        printCommands(console.out, commands, group);
        return 0;
    }
    if (!isGroup)
        console.err << Program << ": unknown command " << group << '\n';
    else if (args.size() == 1)
        console.err << Program << ": " << group << " needs a command\n";
    else
        console.err << Program << ": unknown command " << group << ' ' << args[1] << '\n';
    printCommands(console.err, commands, isGroup ? group : std::string_view());
    return 2;
}

int runCommandLine(int argc, char** argv) {
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    Console console{std::cin, std::cout, std::cerr, ::isatty(STDIN_FILENO) == 1,
                    ::isatty(STDERR_FILENO) == 1};
    return runCommandLine(args, console);
}

} // namespace orvane::server
