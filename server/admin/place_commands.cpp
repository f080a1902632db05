// orvane-server library ... and location ...: owning libraries and locations.
#include "auth/operators.h"
#include "command.h"
#include "command_support.h"
#include "console.h"
#include "store/store.h"

#include <ostream>

namespace orvane::server {

namespace {

void addLibraryCommand(const Arguments& args, Console& console) {
    const std::string code = args.required("code");
    const std::string name = args.required("name");
    auto store = openExistingStore(args);
    Database& db = store->db();
    Transaction tx(db);
    addLibrary(db, code, name);
    tx.commit();
    console.out << "added owning library " << code << '\n';
}

void addLocationCommand(const Arguments& args, Console& console) {
    const std::string code = args.required("code");
    const std::string name = args.required("name");
    const std::string library = args.value("library").value_or("");
    auto store = openExistingStore(args);
    Database& db = store->db();
    Transaction tx(db);
    addLocation(db, code, name, library);
    tx.commit();
    console.out << "added location " << code << '\n';
}

void listLibrariesCommand(const Arguments& args, Console& console) {
    auto store = openExistingStore(args);
    for (const auto& library : listLibraries(store->db()))
        console.out << library.code << '\t' << library.name << '\n';
}

void listLocationsCommand(const Arguments& args, Console& console) {
    auto store = openExistingStore(args);
    for (const auto& location : listLocations(store->db()))
        console.out << location.code << '\t' << location.name << '\t' << location.libraryCode
                    << '\n';
}

} // namespace

std::vector<Command> libraryCommands() {
    return {
        {.words = "library add",
         .synopsis = "--db FILE --code CODE --name NAME",
         .summary = "add an owning library",
         .options = {{"db"}, {"code"}, {"name"}},
         .run = addLibraryCommand},
        {.words = "library list",
         .synopsis = "--db FILE",
         .summary = "one line per owning library: code and name, separated by a tab",
         .options = {{"db"}},
         .run = listLibrariesCommand},
    };
}

std::vector<Command> locationCommands() {
    return {
        {.words = "location add",
         .synopsis = "--db FILE --code CODE --name NAME [--library CODE]",
         .summary = "add a location, of an owning library when given",
         .options = {{"db"}, {"code"}, {"name"}, {"library"}},
         .run = addLocationCommand},
        {.words = "location list",
         .synopsis = "--db FILE",
         .summary = "one line per location: code, name and library code, separated by tabs",
         .options = {{"db"}},
         .run = listLocationsCommand},
    };
}

} // namespace orvane::server
