#pragma once
// The schema both engines share, version for version, written once. What
// the engines name differently stands as a word in braces ({ID}, {INT},
// {OCTETS}, {KEYED}, {NOCASE}, {BYTEWISE}), put in one engine's words as
// its list of migrations is made; what only one engine has (PostgreSQL's
// functions and triggers, SQLite's eighth) each engine's list adds before
// or after the shared part.

#include "database.h"
#include "migrations.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orvane::server {

// The shared part of each version, in the braces' words; empty for a
// version one engine alone changes.
std::span<const Migration> sharedMigrations();

// The braces' words in `engine`'s own.
std::string inDialect(std::string_view sql, Engine engine);

// What one engine adds to a version of the shared schema.
struct EngineMigration {
    int version;
    std::string_view before;
    std::string_view after;
};

// One engine's list: each shared version in its words, with its additions.
class EngineMigrations {
public:
    EngineMigrations(Engine engine, std::span<const EngineMigration> additions);
    std::span<const Migration> list() const { return list_; }

private:
    std::vector<std::string> texts_;
    std::vector<Migration> list_;
};

} // namespace orvane::server
