#pragma once
// Many rows written into one table at once, the quickest way each engine
// takes them: multi-row INSERTs of one prepared statement (SQLite), or one
// COPY (PostgreSQL). The caller holds the transaction; a row the database
// refuses fails add() or finish(), and the caller rolls back. Until finish()
// the connection runs nothing else.

#include <cstdint>
#include <string_view>

namespace orvane::server {

class RowLoader {
public:
    virtual ~RowLoader() = default;
    RowLoader() = default;
    RowLoader(const RowLoader&) = delete;
    RowLoader& operator=(const RowLoader&) = delete;

    // The next value of the row being given, the columns in order; texts
    // and octets stay where they are, unchanged, until finish() returns.
    virtual void add(std::int64_t value) = 0;
    virtual void add(std::string_view text) = 0;
    virtual void addOctets(std::string_view octets) = 0;
    virtual void addNull() = 0;
    // Writes the rows still held back; more rows may follow.
    virtual void finish() = 0;
};

} // namespace orvane::server
