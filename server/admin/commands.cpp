#include "commands.h"

#include <iostream>

namespace orvane::server {

// Placeholder until the command line lands.
int runCommandLine(int, char**) {
    std::cerr << "orvane-server: not yet\n";
    return 2;
}

} // namespace orvane::server
