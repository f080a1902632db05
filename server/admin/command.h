#pragma once
// One command of orvane-server's command line, and the groups of them that
// commands.cpp puts together.

#include "arguments.h"

#include <functional>
#include <string_view>
#include <vector>

namespace orvane::server {

struct Console;

struct Command {
    std::string_view words;          // "operator grant"
    std::string_view synopsis;       // what follows the words in its usage line
    std::string_view summary;        // one line for the program's help
    std::vector<OptionSpec> options; // --help is understood by every command
    bool takesWords = false;         // plain words after the options (right codes)
    // Throws UsageError for a command line that does not fit, anything else for a failure.
    std::function<void(const Arguments&, Console&)> run;
};

Command initCommand();
Command serveCommand();
Command moveCommand();
std::vector<Command> operatorCommands();
std::vector<Command> libraryCommands();
std::vector<Command> locationCommands();
std::vector<Command> catalogueCommands();
std::vector<Command> jobCommands();

} // namespace orvane::server
