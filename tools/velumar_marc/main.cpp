// velumar-marc: look into MARC files and convert them.

#include "commands.h"

#include <iostream>
#include <string>
#include <vector>

namespace {

using namespace velumar::marctool;

constexpr const char* Usage = R"(Usage: velumar-marc COMMAND [OPTIONS] FILE...

Commands:
  dump [--mrk|--json] FILE   write every record on standard output: a listing with a
                             heading per record (default), the text form (--mrk), or
                             a JSON array (--json)
  convert IN OUT             copy the well-formed records of IN to OUT; a name ending in
                             .mrk means the text form, any other name ISO 2709
  stats [--json] FILE        records, record types (leader 06), character codings
                             (leader 09), and malformed records with their offsets

Options:
  --strict                   stop at the first malformed record
  -h, --help                 show this help

Files ending in .mrk are read as the text form ("=245  10$aTitle"), others as
ISO 2709. In the text form a blank in the leader, a control field or the
indicators is written "\"; "$" in data is written {dollar}, "{" {lcub}, a "\"
that is data where "\" means a blank {bsol}, and control bytes {XX} in hex.
Malformed records are reported on standard error with their byte offset and
skipped; reading goes on with the next record.

Exit status: 0 when every record was read, 1 when a record was malformed, 2 when
the arguments or files cannot be used.
)";

int usageError(const std::string& message) {
    std::cerr << "velumar-marc: " << message << "\nTry 'velumar-marc --help'.\n";
    return ExitUnusable;
}

} // namespace

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    std::vector<std::string> args(argv + 1, argv + argc);
    for (const std::string& a : args) {
        if (a == "-h" || a == "--help") {
            std::cout << Usage;
            return ExitOk;
        }
    }
    if (args.empty())
        return usageError("no command given");

    const std::string command = args.front();
    marc::ReadOptions options;
    DumpFormat format = DumpFormat::Listing;
    bool json = false;
    std::vector<std::string> files;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--strict") {
            options.strict = true;
        } else if (a == "--mrk" && command == "dump") {
            format = DumpFormat::Mnemonic;
        } else if (a == "--json" && (command == "dump" || command == "stats")) {
            format = DumpFormat::Json;
            json = true;
        } else if (a.size() > 1 && a[0] == '-') {
            return usageError("unknown option " + a + " for " + command);
        } else {
            files.push_back(a);
        }
    }

    if (command == "dump") {
        if (files.size() != 1)
            return usageError("dump takes one FILE");
        return runDump(files[0], format, options, std::cout, std::cerr);
    }
    if (command == "convert") {
        if (files.size() != 2)
            return usageError("convert takes IN and OUT");
        return runConvert(files[0], files[1], options, std::cout, std::cerr);
    }
    if (command == "stats") {
        if (files.size() != 1)
            return usageError("stats takes one FILE");
        return runStats(files[0], json, options, std::cout, std::cerr);
    }
    return usageError("unknown command " + command);
}
