#pragma once
// Where a command reads and writes: the process's own streams, or a test's.

#include <iosfwd>

namespace orvane::server {

struct Console {
    std::istream& in;
    std::ostream& out;
    std::ostream& err;
    // "in" is a terminal: passwords are asked for and not echoed.
    bool terminal = false;
    // "err" is a terminal: long commands show their progress there.
    bool progressShown = false;
};

} // namespace orvane::server
