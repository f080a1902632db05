#pragma once
// The engine the server tests run on: SQLite, or PostgreSQL when the
// environment says ORVANE_TEST_DB=postgresql (CTest runs the binary once
// each way). Each test's database is then a file in its folder, or a new
// database of the binary's throwaway cluster, dropped when the test ends.

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <string_view>

namespace orvane::server::testing {

bool testingPostgres();

class TestDatabase {
public:
    TestDatabase(const std::filesystem::path& folder, std::string_view fileName);
    ~TestDatabase();
    TestDatabase(const TestDatabase&) = delete;
    TestDatabase& operator=(const TestDatabase&) = delete;

    // A file path or a URL, for Store and --db.
    const std::string& location() const { return location_; }
    // What job files are named after: the SQLite file, or the same name in
    // the test's folder for PostgreSQL.
    const std::string& filesBase() const { return filesBase_; }

private:
    std::string location_;
    std::string filesBase_;
};

} // namespace orvane::server::testing

// For what only a SQLite file has (its permissions, its lock files).
#define VELUMAR_SQLITE_ONLY(why)                                                                   \
    if (::orvane::server::testing::testingPostgres())                                              \
    GTEST_SKIP() << "SQLite only: " << why

// For what only a PostgreSQL database has (several writers at once).
#define VELUMAR_POSTGRES_ONLY(why)                                                                 \
    if (!::orvane::server::testing::testingPostgres())                                             \
    GTEST_SKIP() << "PostgreSQL only: " << why
