// orvane-server operator ...: operators, their passwords, rights and places.
#include "auth/operators.h"
#include "auth/password.h"
#include "auth/rights.h"
#include "command.h"
#include "command_support.h"
#include "console.h"
#include "store/store.h"

#include <ostream>

namespace orvane::server {

namespace {

void add(const Arguments& args, Console& console) {
    const std::string id = args.required("id");
    auto store = openExistingStore(args);
    // Refused before the password is asked for; addOperator checks again.
    if (findOperator(store->db(), id))
        throw AdminError("operator " + id + " already exists");
    const std::string hash = hashPassword(readNewPassword(console, id));
    Database& db = store->db();
    Transaction tx(db);
    addOperator(db, id, args.value("name").value_or(""), hash);
    tx.commit();
    console.out << "added operator " << id << " (no rights yet: see operator grant)\n";
}

void password(const Arguments& args, Console& console) {
    const std::string id = args.required("id");
    auto store = openExistingStore(args);
    const auto account = requireOperator(store->db(), id);
    const std::string hash = hashPassword(readNewPassword(console, account.id));
    Database& db = store->db();
    Transaction tx(db);
    setPasswordHash(db, account.row, hash);
    tx.commit();
    console.out << "changed the password of operator " << account.id << '\n';
}

// The codes a grant or revoke names: right codes as words, or --all.
std::vector<std::string_view> namedRights(const Arguments& args) {
    const bool all = args.flag("all");
    if (all == !args.words().empty())
        throw UsageError("name right codes or give --all, not both or neither");
    if (all)
        return {allRightCodes().begin(), allRightCodes().end()};
    return {args.words().begin(), args.words().end()};
}

using RightsChange = void (*)(Database&, std::int64_t, std::span<const std::string_view>);

void changeRights(const Arguments& args, Console& console, RightsChange change,
                  std::string_view done) {
    const std::string id = args.required("id");
    const auto codes = namedRights(args);
    auto store = openExistingStore(args);
    Database& db = store->db();
    Transaction tx(db);
    const auto account = requireOperator(db, id);
    change(db, account.row, codes);
    tx.commit();
    console.out << done << ' ' << codes.size() << (codes.size() == 1 ? " right" : " rights")
                << ", operator " << account.id << '\n';
}

void list(const Arguments& args, Console& console) {
    auto store = openExistingStore(args);
    Database& db = store->db();
    for (const auto& account : listOperators(db)) {
        console.out << account.id << '\t' << account.name << '\t';
        const char* separator = "";
        for (const auto& code : rightsOf(db, account.row)) {
            console.out << separator << code;
            separator = " ";
        }
        console.out << '\n';
    }
}

void assign(const Arguments& args, Console& console) {
    const std::string id = args.required("id");
    const auto location = args.value("location");
    const auto library = args.value("library");
    if (location.has_value() == library.has_value())
        throw UsageError("give --location or --library, one of them");
    auto store = openExistingStore(args);
    Database& db = store->db();
    Transaction tx(db);
    const auto account = requireOperator(db, id);
    if (location)
        assignLocation(db, account.row, *location);
    else
        assignLibrary(db, account.row, *library);
    tx.commit();
    console.out << "assigned " << (location ? "location " + *location : "library " + *library)
                << " to operator " << account.id << '\n';
}

} // namespace

std::vector<Command> operatorCommands() {
    return {
        {.words = "operator add",
         .synopsis = "--db FILE --id ID [--name NAME]",
         .summary = "add an operator; the password comes from ORVANE_PASSWORD or standard input",
         .options = {{"db"}, {"id"}, {"name"}},
         .run = add},
        {.words = "operator password",
         .synopsis = "--db FILE --id ID",
         .summary = "set an operator's password (from ORVANE_PASSWORD or standard input)",
         .options = {{"db"}, {"id"}},
         .run = password},
        {.words = "operator grant",
         .synopsis = "--db FILE --id ID (CODE... | --all)",
         .summary = "give an operator rights",
         .options = {{"db"}, {"id"}, {"all", false}},
         .takesWords = true,
         .run = [](const Arguments& a, Console& c) { changeRights(a, c, grantRights, "granted"); }},
        {.words = "operator revoke",
         .synopsis = "--db FILE --id ID (CODE... | --all)",
         .summary = "take rights from an operator",
         .options = {{"db"}, {"id"}, {"all", false}},
         .takesWords = true,
         .run = [](const Arguments& a,
                   Console& c) { changeRights(a, c, revokeRights, "revoked"); }},
        {.words = "operator list",
         .synopsis = "--db FILE",
         .summary = "one line per operator: id, name and rights, separated by tabs",
         .options = {{"db"}},
         .run = list},
        {.words = "operator assign",
         .synopsis = "--db FILE --id ID (--location CODE | --library CODE)",
         .summary = "let an operator work with a location or an owning library",
         .options = {{"db"}, {"id"}, {"location"}, {"library"}},
         .run = assign},
    };
}

} // namespace orvane::server
