#pragma once
// Numbered schema migrations. Each runs once, in its own transaction,
// and records its number in PRAGMA user_version.

#include <span>
#include <string_view>

namespace orvane::server {

class Database;

struct Migration {
    int version;
    std::string_view sql;
};

std::span<const Migration> migrations();
// Applies every migration above the file's version; returns the new version.
int migrate(Database& db);

} // namespace orvane::server
