#include "operators.h"

#include "rights.h"
#include "store/database.h"

#include <algorithm>

namespace orvane::server {

namespace {

constexpr std::string_view OperatorColumns =
    "SELECT id, operator_id, name, password_hash, password_flag FROM operators ";

OperatorAccount readOperator(const Statement& st) {
    return {st.int64(0), st.text(1), st.text(2), st.text(3), st.int64(4) != 0};
}

std::optional<OperatorAccount> firstOperator(Statement& st) {
    if (!st.step())
        return std::nullopt;
    return readOperator(st);
}

void requireText(std::string_view value, std::string_view what) {
    if (value.empty())
        throw AdminError(std::string(what) + " must not be empty");
}

void checkRightCodes(std::span<const std::string_view> codes) {
    for (auto code : codes)
        if (!isRightCode(code))
            throw AdminError("unknown right code: " + std::string(code));
}

std::optional<std::int64_t> rowOf(Database& db, std::string_view table, std::string_view code) {
    auto st = db.prepare("SELECT id FROM " + std::string(table) + " WHERE code = ?1");
    st.bind(1, code);
    if (!st.step())
        return std::nullopt;
    return st.int64(0);
}

std::int64_t libraryRow(Database& db, std::string_view code) {
    if (auto row = rowOf(db, "owning_libraries", code))
        return *row;
    throw AdminError("no owning library with code " + std::string(code));
}

std::int64_t locationRow(Database& db, std::string_view code) {
    if (auto row = rowOf(db, "locations", code))
        return *row;
    throw AdminError("no location with code " + std::string(code));
}

std::vector<Place> readPlaces(Statement& st) {
    std::vector<Place> places;
    while (st.step())
        places.push_back({st.int64(0), st.text(1), st.text(2), st.text(3)});
    return places;
}

} // namespace

std::int64_t operatorCount(Database& db) {
    auto st = db.prepare("SELECT count(*) FROM operators");
    st.step();
    return st.int64(0);
}

std::optional<OperatorAccount> findOperator(Database& db, std::string_view id) {
    auto st = db.prepare(std::string(OperatorColumns) + "WHERE operator_id = ?1");
    st.bind(1, id);
    return firstOperator(st);
}

std::optional<OperatorAccount> findOperator(Database& db, std::int64_t row) {
    auto st = db.prepare(std::string(OperatorColumns) + "WHERE id = ?1");
    st.bind(1, row);
    return firstOperator(st);
}

OperatorAccount requireOperator(Database& db, std::string_view id) {
    if (auto account = findOperator(db, id))
        return *account;
    throw AdminError("no operator with id " + std::string(id));
}

std::vector<OperatorAccount> listOperators(Database& db) {
    auto st = db.prepare(std::string(OperatorColumns) + "ORDER BY operator_id");
    std::vector<OperatorAccount> accounts;
    while (st.step())
        accounts.push_back(readOperator(st));
    return accounts;
}

std::int64_t addOperator(Database& db, std::string_view id, std::string_view name,
                         const std::string& passwordHash) {
    requireText(id, "an operator id");
    if (findOperator(db, id))
        throw AdminError("operator " + std::string(id) + " already exists");
    auto st = db.prepare("INSERT INTO operators (operator_id, name, password_hash) "
                         "VALUES (?1, ?2, ?3)");
    st.bind(1, id).bind(2, name).bind(3, passwordHash).run();
    return db.lastInsertId();
}

void setPasswordHash(Database& db, std::int64_t row, const std::string& passwordHash) {
    auto st = db.prepare("UPDATE operators SET password_hash = ?2 WHERE id = ?1");
    st.bind(1, row).bind(2, passwordHash).run();
}

void grantRights(Database& db, std::int64_t row, std::span<const std::string_view> codes) {
    checkRightCodes(codes);
    auto st = db.prepare("INSERT INTO operator_rights (operator, code) VALUES (?1, ?2) "
                         "ON CONFLICT DO NOTHING");
    for (auto code : codes) {
        st.bind(1, row).bind(2, code).run();
        st.reset();
    }
}

void revokeRights(Database& db, std::int64_t row, std::span<const std::string_view> codes) {
    checkRightCodes(codes);
    auto st = db.prepare("DELETE FROM operator_rights WHERE operator = ?1 AND code = ?2");
    for (auto code : codes) {
        st.bind(1, row).bind(2, code).run();
        st.reset();
    }
}

std::vector<std::string> rightsOf(Database& db, std::int64_t row) {
    auto st = db.prepare("SELECT code FROM operator_rights WHERE operator = ?1");
    st.bind(1, row);
    std::vector<std::string> stored;
    while (st.step())
        stored.push_back(st.text(0));
    std::vector<std::string> held;
    for (auto code : allRightCodes())
        if (std::find(stored.begin(), stored.end(), code) != stored.end())
            held.emplace_back(code);
    return held;
}

std::int64_t addLibrary(Database& db, std::string_view code, std::string_view name) {
    requireText(code, "a library code");
    requireText(name, "a library name");
    if (rowOf(db, "owning_libraries", code))
        throw AdminError("owning library " + std::string(code) + " already exists");
    auto st = db.prepare("INSERT INTO owning_libraries (code, name) VALUES (?1, ?2)");
    st.bind(1, code).bind(2, name).run();
    return db.lastInsertId();
}

std::vector<Place> listLibraries(Database& db) {
    auto st = db.prepare("SELECT id, code, name, '' FROM owning_libraries ORDER BY code");
    return readPlaces(st);
}

std::int64_t addLocation(Database& db, std::string_view code, std::string_view name,
                         std::string_view libraryCode) {
    requireText(code, "a location code");
    requireText(name, "a location name");
    if (rowOf(db, "locations", code))
        throw AdminError("location " + std::string(code) + " already exists");
    auto st = db.prepare("INSERT INTO locations (code, name, library) VALUES (?1, ?2, ?3)");
    st.bind(1, code).bind(2, name);
    if (libraryCode.empty())
        st.bindNull(3);
    else
        st.bind(3, libraryRow(db, libraryCode));
    st.run();
    return db.lastInsertId();
}

std::vector<Place> listLocations(Database& db) {
    auto st = db.prepare("SELECT l.id, l.code, l.name, coalesce(o.code, '') FROM locations l "
                         "LEFT JOIN owning_libraries o ON o.id = l.library ORDER BY l.code");
    return readPlaces(st);
}

void assignLocation(Database& db, std::int64_t operatorRow, std::string_view locationCode) {
    auto st =
        db.prepare("INSERT INTO operator_locations (operator, location) VALUES (?1, ?2) "
                   "ON CONFLICT DO NOTHING");
    st.bind(1, operatorRow).bind(2, locationRow(db, locationCode)).run();
}

void assignLibrary(Database& db, std::int64_t operatorRow, std::string_view libraryCode) {
    auto st =
        db.prepare("INSERT INTO operator_libraries (operator, library) VALUES (?1, ?2) "
                   "ON CONFLICT DO NOTHING");
    st.bind(1, operatorRow).bind(2, libraryRow(db, libraryCode)).run();
}

std::vector<Place> locationsOf(Database& db, std::int64_t operatorRow) {
    auto st = db.prepare("SELECT l.id, l.code, l.name, coalesce(o.code, '') "
                         "FROM operator_locations ol JOIN locations l ON l.id = ol.location "
                         "LEFT JOIN owning_libraries o ON o.id = l.library "
                         "WHERE ol.operator = ?1 ORDER BY l.name, l.id");
    st.bind(1, operatorRow);
    return readPlaces(st);
}

} // namespace orvane::server
