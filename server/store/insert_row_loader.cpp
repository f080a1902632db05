#include "insert_row_loader.h"

namespace orvane::server {

namespace {
// Rows per statement: enough to spend little on running each, few enough
// to stay well inside SQLite's limit on bound values.
constexpr int RowsPerStatement = 64;
} // namespace

InsertRowLoader::InsertRowLoader(Database& db, std::string_view into, int columns)
    : db_(db), into_(into), columns_(columns) {
    values_.reserve(static_cast<std::size_t>(columns) * RowsPerStatement);
}

void InsertRowLoader::add(std::int64_t value) {
    held({Value::Kind::Number, value, {}});
}

void InsertRowLoader::add(std::string_view text) {
    held({Value::Kind::Text, 0, text});
}

void InsertRowLoader::addOctets(std::string_view octets) {
    held({Value::Kind::Octets, 0, octets});
}

void InsertRowLoader::addNull() {
    held({Value::Kind::Null, 0, {}});
}

void InsertRowLoader::held(Value value) {
    values_.push_back(value);
    writeIfFull();
}

void InsertRowLoader::writeIfFull() {
    if (values_.size() < static_cast<std::size_t>(columns_) * RowsPerStatement)
        return;
    if (!full_)
        full_.emplace(db_.prepare(db_.multiRowInsert(into_, columns_, RowsPerStatement)));
    write(*full_, values_.size());
}

void InsertRowLoader::finish() {
    const auto rows = static_cast<int>(values_.size()) / columns_;
    if (rows == 0)
        return;
    Statement rest = db_.prepare(db_.multiRowInsert(into_, columns_, rows));
    write(rest, static_cast<std::size_t>(rows) * static_cast<std::size_t>(columns_));
}

void InsertRowLoader::write(Statement& statement, std::size_t values) {
    // Every value is bound again, so nothing needs clearing first.
    statement.resetForRebind();
    for (std::size_t i = 0; i < values; ++i) {
        const int column = static_cast<int>(i) + 1;
        const Value& value = values_[i];
        switch (value.kind) {
        case Value::Kind::Number:
            statement.bind(column, value.number);
            break;
        case Value::Kind::Text:
            statement.bindKept(column, value.text);
            break;
        case Value::Kind::Octets:
            statement.bindBlob(column, value.text);
            break;
        case Value::Kind::Null:
            statement.bindNull(column);
            break;
        }
    }
    statement.run();
    values_.erase(values_.begin(), values_.begin() + static_cast<std::ptrdiff_t>(values));
}

} // namespace orvane::server
