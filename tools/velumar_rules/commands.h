#pragma once
// The commands of velumar-rules. Each returns the process exit code:
// 0 all well, 1 lines in error, 2 a file could not be read or bad usage.

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace velumar_rules {

inline constexpr int kExitOk = 0;
inline constexpr int kExitLinesInError = 1;
inline constexpr int kExitUnreadable = 2;

int Check(const std::vector<std::string>& paths, bool json, std::ostream& out, std::ostream& err);
int Render(const std::string& path, std::ostream& out, std::ostream& err);

struct ApplyOptions {
    bool scan = false;
    bool json = false;
    std::optional<std::string> order; // comma-separated tag patterns
    std::vector<std::string> documents;
    std::string input;
    std::string outputFolder;
};
// Exit code 1 also when the group does not compile or a record was malformed.
int Apply(const ApplyOptions& options, std::ostream& out, std::ostream& err);

} // namespace velumar_rules
