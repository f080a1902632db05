#pragma once
// A throwaway PostgreSQL cluster for one run of the test binary: initdb and
// pg_ctl into a temporary folder, listening on a free port of the loopback.
// PostgreSQL refuses to run as root, so under root they run as the
// "postgres" system user the Debian package makes. Stopped and removed when
// the binary ends.

#include <memory>
#include <optional>
#include <string>

namespace orvane::server::testing {

class PostgresCluster {
public:
    // The folder of initdb and pg_ctl, when PostgreSQL is installed.
    static std::optional<std::string> programs();
    // The binary's cluster, started on first use; throws when it cannot start.
    static PostgresCluster& shared();
    // Stops the binary's cluster, if one was started.
    static void stopShared();

    ~PostgresCluster();
    PostgresCluster(const PostgresCluster&) = delete;
    PostgresCluster& operator=(const PostgresCluster&) = delete;

    // A new empty database, as a URL.
    std::string createDatabase();
    void dropDatabase(const std::string& url);
    int port() const { return port_; }

private:
    explicit PostgresCluster(const std::string& programs);
    std::string url(const std::string& database) const;
    void run(const std::string& command) const;

    std::string programs_;
    std::string folder_;
    int port_ = 0;
    int created_ = 0;
    bool asPostgresUser_ = false;
};

} // namespace orvane::server::testing
