#pragma once
// What several commands share: opening the database they administer and
// reading a new password.

#include <memory>
#include <string>
#include <string_view>

namespace orvane::server {

class Arguments;
class Store;
struct Console;

// Refuses, telling how to make one, a database file that does not exist.
void requireExistingDatabase(const std::string& path);
// The store of --db; refuses a file that does not exist rather than create
// an empty one (only init creates).
std::unique_ptr<Store> openExistingStore(const Arguments& args);
// What job files are named after with --files DIR ("DIR/orvane", so jobs go
// in DIR/orvane.jobs/); empty without it.
std::string filesBase(const Arguments& args);

// From the environment variable ORVANE_PASSWORD when set, else one line of
// input (asked for twice, unechoed, on a terminal). Never from the command
// line, where other users of the host could read it. Refuses a password
// too short.
std::string readNewPassword(Console& console, std::string_view operatorId);

inline constexpr const char* PasswordVariable = "ORVANE_PASSWORD";

} // namespace orvane::server
