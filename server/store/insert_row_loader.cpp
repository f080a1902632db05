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
    values_.emplace_back(value);
    writeIfFull();
}

void InsertRowLoader::add(std::string_view text) {
    values_.emplace_back(text);
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
        if (const auto* number = std::get_if<std::int64_t>(&values_[i]))
            statement.bind(column, *number);
        else
            statement.bindKept(column, std::get<std::string_view>(values_[i]));
    }
    statement.run();
    values_.erase(values_.begin(), values_.begin() + static_cast<std::ptrdiff_t>(values));
}

} // namespace orvane::server
