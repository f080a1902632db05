#pragma once
// orvane-server's command line: init, serve and the administration commands.
// Exit status 0 when done, 1 when a command failed, 2 for a command line
// that does not fit.

#include <span>
#include <string>

namespace orvane::server {

struct Console;

int runCommandLine(int argc, char** argv);
// The arguments after the program name, on the console given.
int runCommandLine(std::span<const std::string> args, Console& console);

} // namespace orvane::server
