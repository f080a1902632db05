#include "commands.h"
#include "marc/issue.h"

#include <ostream>

namespace velumar::marctool {

void reportIssue(std::ostream& err, const std::string& path, const marc::Issue& issue) {
    err << "velumar-marc: " << path << ": " << marc::describe(issue) << '\n';
}

} // namespace velumar::marctool
