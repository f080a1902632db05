#pragma once
// orvane-server's command line: init, serve and the administration commands.

namespace orvane::server {

int runCommandLine(int argc, char** argv);

} // namespace orvane::server
