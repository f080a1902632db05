// orvane-server init: creates or updates a database and fills it once.
#include "auth/operators.h"
#include "command.h"
#include "console.h"
#include "demo/seed.h"
#include "store/store.h"

#include <filesystem>
#include <ostream>

namespace orvane::server {

namespace {

void init(const Arguments& args, Console& console) {
    const std::string path = args.required("db");
    const bool existed = isPostgresLocation(path) || std::filesystem::exists(path);
    Store store(path);
    console.out << (existed ? "opened " : "created ") << path << " (schema version "
                << store.schemaVersion() << ")\n";

    const bool demo = args.flag("demo");
    if (!initialiseStore(store, demo)) {
        console.out << "already has operators: left as it was\n";
        return;
    }
    if (demo) {
        console.out << "filled it with the demo data: operators demo (every right) "
                       "and viewer (view rights), owning libraries, locations and the "
                       "demo catalogue\n";
        return;
    }
    console.out << "added the reference data; no operators yet: add one with\n"
                << "  orvane-server operator add --db " << path << " --id ID\n"
                << "  orvane-server operator grant --db " << path << " --id ID --all\n";
}

} // namespace

Command initCommand() {
    return {.words = "init",
            .synopsis = "--db FILE|URL [--demo]",
            .summary = "create or update a database; --demo adds demo operators, data, catalogue",
            .options = {{"db"}, {"demo", false}},
            .takesWords = false,
            .run = init};
}

} // namespace orvane::server
