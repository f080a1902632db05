#pragma once
// The velumar-marc commands. Each returns the process exit code.

#include "marc/reader.h"

#include <iosfwd>
#include <string>

namespace marc {
struct Issue;
}

namespace velumar::marctool {

inline constexpr int ExitOk = 0;
inline constexpr int ExitMalformed = 1; // a record was malformed
inline constexpr int ExitUnusable = 2;  // arguments or files that cannot be used

enum class DumpFormat { Listing, Mnemonic, Json };

int runDump(const std::string& path, DumpFormat format, marc::ReadOptions options,
            std::ostream& out, std::ostream& err);
int runConvert(const std::string& inPath, const std::string& outPath, marc::ReadOptions options,
               std::ostream& out, std::ostream& err);
int runStats(const std::string& path, bool json, marc::ReadOptions options, std::ostream& out,
             std::ostream& err);

// "velumar-marc: FILE: offset N: reason" on the error stream.
void reportIssue(std::ostream& err, const std::string& path, const marc::Issue& issue);

} // namespace velumar::marctool
