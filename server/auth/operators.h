#pragma once
// Operators, their rights, and the owning libraries and locations they work
// with: the queries behind LOGIN, GET_VLM_SECURITY and the administration
// commands. Callers hold the transaction; refusals a user can fix are
// AdminError with a message naming what was wrong.

#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace orvane::server {

class Database;

class AdminError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct OperatorAccount {
    std::int64_t row = 0; // operators.id
    std::string id;       // the operator id they log in with
    std::string name;
    std::string passwordHash;
    // The password is managed elsewhere: the client offers no Change Password.
    bool passwordFlag = false;
};

// An owning library or a location.
struct Place {
    std::int64_t row = 0;
    std::string code;
    std::string name;
    std::string libraryCode; // locations only; empty when not attached
};

std::int64_t operatorCount(Database& db);
// Operator ids compare without regard to case.
std::optional<OperatorAccount> findOperator(Database& db, std::string_view id);
std::optional<OperatorAccount> findOperator(Database& db, std::int64_t row);
OperatorAccount requireOperator(Database& db, std::string_view id);
std::vector<OperatorAccount> listOperators(Database& db);

// Refuses an empty id and one already taken. Answers the new row.
std::int64_t addOperator(Database& db, std::string_view id, std::string_view name,
                         const std::string& passwordHash);
void setPasswordHash(Database& db, std::int64_t row, const std::string& passwordHash);

// Both refuse the whole list when one code is not a right code, naming it.
void grantRights(Database& db, std::int64_t row, std::span<const std::string_view> codes);
void revokeRights(Database& db, std::int64_t row, std::span<const std::string_view> codes);
// The rights held, in the order of allRightCodes().
std::vector<std::string> rightsOf(Database& db, std::int64_t row);

std::int64_t addLibrary(Database& db, std::string_view code, std::string_view name);
std::vector<Place> listLibraries(Database& db);
// libraryCode empty: a location of no particular library.
std::int64_t addLocation(Database& db, std::string_view code, std::string_view name,
                         std::string_view libraryCode = {});
std::vector<Place> listLocations(Database& db);

// Assigning twice is harmless.
void assignLocation(Database& db, std::int64_t operatorRow, std::string_view locationCode);
void assignLibrary(Database& db, std::int64_t operatorRow, std::string_view libraryCode);
// The operator's locations, by name.
std::vector<Place> locationsOf(Database& db, std::int64_t operatorRow);

} // namespace orvane::server
