#pragma once
// Rows loaded by multi-row INSERTs: a prepared statement of a few dozen rows
// at a time, its texts bound without copies, and one for what is left.

#include "database.h"

#include <optional>
#include <string>
#include <vector>

namespace orvane::server {

class InsertRowLoader final : public RowLoader {
public:
    InsertRowLoader(Database& db, std::string_view into, int columns);

    void add(std::int64_t value) override;
    void add(std::string_view text) override;
    void addOctets(std::string_view octets) override;
    void addNull() override;
    void finish() override;

private:
    struct Value {
        enum class Kind { Number, Text, Octets, Null } kind;
        std::int64_t number = 0;
        std::string_view text;
    };
    void held(Value value);
    void writeIfFull();
    void write(Statement& statement, std::size_t values);

    Database& db_;
    std::string into_;
    int columns_;
    std::optional<Statement> full_; // RowsPerStatement rows
    std::vector<Value> values_;
};

} // namespace orvane::server
