#include "test_database.h"

#include "postgres_cluster.h"

#include <cstdlib>
#include <iostream>

namespace orvane::server::testing {

namespace {

// Starts the cluster before the first test and stops it after the last;
// skips every test, saying why, when PostgreSQL is not installed.
class PostgresRun : public ::testing::Environment {
public:
    void SetUp() override {
        if (!testingPostgres())
            return;
        if (!PostgresCluster::programs()) {
            std::cout << "PostgreSQL is not installed (no initdb under /usr/lib/postgresql): "
                         "the PostgreSQL run of the server tests is skipped\n";
            GTEST_SKIP() << "PostgreSQL is not installed";
        }
        PostgresCluster::shared();
    }
    void TearDown() override { PostgresCluster::stopShared(); }
};

[[maybe_unused]] const auto* registered = ::testing::AddGlobalTestEnvironment(new PostgresRun);

} // namespace

bool testingPostgres() {
    static const bool postgres = [] {
        const char* engine = std::getenv("ORVANE_TEST_DB");
        return engine && std::string_view(engine) == "postgresql";
    }();
    return postgres;
}

TestDatabase::TestDatabase(const std::filesystem::path& folder, std::string_view fileName)
    : filesBase_((folder / fileName).string()) {
    location_ = testingPostgres() ? PostgresCluster::shared().createDatabase() : filesBase_;
}

TestDatabase::~TestDatabase() {
    if (!testingPostgres())
        return;
    try {
        PostgresCluster::shared().dropDatabase(location_);
    } catch (const std::exception& e) {
        std::cerr << "could not drop " << location_ << ": " << e.what() << "\n";
    }
}

} // namespace orvane::server::testing
