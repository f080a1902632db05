#include "postgres_cluster.h"

#include "store/database.h"

#include <arpa/inet.h>
#include <filesystem>
#include <mutex>
#include <netinet/in.h>
#include <pwd.h>
#include <stdexcept>
#include <stdlib.h>
#include <sys/socket.h>
#include <unistd.h>

namespace orvane::server::testing {

namespace {

std::unique_ptr<PostgresCluster>& sharedSlot() {
    static std::unique_ptr<PostgresCluster> cluster;
    return cluster;
}

std::mutex sharedMutex;

// A port nobody listens on now; the cluster takes it a moment later.
int freePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        throw std::runtime_error("no free port for the test cluster");
    ::close(fd);
    return ntohs(address.sin_port);
}

} // namespace

std::optional<std::string> PostgresCluster::programs() {
    std::error_code ec;
    std::optional<std::string> best;
    int bestVersion = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/usr/lib/postgresql", ec)) {
        const auto bin = entry.path() / "bin";
        const int version = std::atoi(entry.path().filename().c_str());
        if (version > bestVersion && std::filesystem::exists(bin / "initdb") &&
            std::filesystem::exists(bin / "pg_ctl")) {
            best = bin.string();
            bestVersion = version;
        }
    }
    return best;
}

PostgresCluster& PostgresCluster::shared() {
    std::lock_guard lock(sharedMutex);
    auto& slot = sharedSlot();
    if (!slot) {
        const auto bin = programs();
        if (!bin)
            throw std::runtime_error("PostgreSQL is not installed");
        slot.reset(new PostgresCluster(*bin));
        std::atexit(&PostgresCluster::stopShared);
    }
    return *slot;
}

void PostgresCluster::stopShared() {
    std::lock_guard lock(sharedMutex);
    sharedSlot().reset();
}

PostgresCluster::PostgresCluster(const std::string& programs) : programs_(programs) {
    std::string pattern = (std::filesystem::temp_directory_path() / "velumar-pg-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("cannot make a folder for the test cluster");
    folder_ = pattern;
    if (::geteuid() == 0) {
        const passwd* user = ::getpwnam("postgres");
        if (!user || ::chown(folder_.c_str(), user->pw_uid, user->pw_gid) != 0)
            throw std::runtime_error("running as root, the test cluster needs the postgres user");
        asPostgresUser_ = true;
    }
    port_ = freePort();
    run(programs_ + "/initdb -D " + folder_ + "/data -U postgres -A trust -E UTF8 " +
        "--locale=C.UTF-8 --no-sync >" + folder_ + "/initdb.log 2>&1");
    run(programs_ + "/pg_ctl -D " + folder_ + "/data -l " + folder_ + "/server.log -w -o \"-p " +
        std::to_string(port_) + " -k " + folder_ +
        " -c listen_addresses=127.0.0.1 -c fsync=off -c synchronous_commit=off"
        " -c full_page_writes=off -c max_connections=300\" start >/dev/null");
}

PostgresCluster::~PostgresCluster() {
    try {
        run(programs_ + "/pg_ctl -D " + folder_ + "/data -m immediate stop >/dev/null 2>&1");
    } catch (const std::exception&) {
        // Removed below all the same.
    }
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

void PostgresCluster::run(const std::string& command) const {
    const std::string line =
        asPostgresUser_ ? "runuser -u postgres -- sh -c '" + command + "'" : command;
    if (std::system(line.c_str()) != 0)
        throw std::runtime_error("test cluster: failed: " + command + " (see " + folder_ + ")");
}

std::string PostgresCluster::url(const std::string& database) const {
    return "postgresql://postgres@127.0.0.1:" + std::to_string(port_) + "/" + database;
}

std::string PostgresCluster::createDatabase() {
    std::string name;
    {
        std::lock_guard lock(sharedMutex);
        name.append("t").append(std::to_string(::getpid())).append("_");
        name.append(std::to_string(++created_));
    }
    const auto admin = openDatabase(url("postgres"), Database::DefaultBusyTimeout);
    admin->exec("CREATE DATABASE " + name);
    return url(name);
}

void PostgresCluster::dropDatabase(const std::string& location) {
    const std::string name = location.substr(location.rfind('/') + 1);
    const auto admin = openDatabase(url("postgres"), Database::DefaultBusyTimeout);
    admin->exec("DROP DATABASE IF EXISTS " + name + " WITH (FORCE)");
}

} // namespace orvane::server::testing
