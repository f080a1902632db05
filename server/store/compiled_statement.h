#pragma once
// One statement compiled by one connection, as each database engine keeps
// it. Statement hands these out to the server's code; the connection's cache
// keeps them between uses.

#include <cstdint>
#include <string>
#include <string_view>

namespace orvane::server {

class CompiledStatement {
public:
    virtual ~CompiledStatement() = default;

    // The SQL as the server wrote it: the cache's key.
    virtual const std::string& sql() const = 0;

    // By 1-based position, as the SQL's `?N` placeholders number them.
    virtual void bindInt(int index, std::int64_t value) = 0;
    virtual void bindText(int index, std::string_view value) = 0;
    virtual void bindBlob(int index, std::string_view octets) = 0;
    virtual void bindNull(int index) = 0;
    // Text the caller keeps, unchanged, until the statement has run: bound
    // without a copy where the engine allows it.
    virtual void bindKeptText(int index, std::string_view value) { bindText(index, value); }

    // Next row: true when there is one; after the last, the next step runs it again.
    virtual bool step() = 0;
    // Ready to run again with no value bound.
    virtual void reset() = 0;
    // Ready to run again, every value to be bound anew (nothing cleared first).
    virtual void resetForRebind() { reset(); }

    // Columns of the current row; a null reads as 0 or empty.
    virtual std::int64_t int64(int column) const = 0;
    virtual std::string text(int column) const = 0;
    virtual std::string blob(int column) const = 0;
    virtual bool isNull(int column) const = 0;
};

} // namespace orvane::server
