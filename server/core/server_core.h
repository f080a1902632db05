#pragma once
// One running server: its store, sessions, handlers and endpoint. The
// HTTP server and the client's embedded transport each wrap one of these.

#include "dispatch/dispatcher.h"
#include "dispatch/endpoint.h"
#include "auth/login_guard.h"
#include "dispatch/sessions.h"
#include "jobs/job_lease.h"
#include "store/store.h"
#include "util/log.h"

#include <chrono>
#include <memory>
#include <string>

namespace orvane::server {

struct ServerOptions {
    // A SQLite file, or a "postgresql://" URL.
    std::string dbPath;
    // What job files are named after ("x" gives "x.jobs/"); the SQLite file
    // when empty. A PostgreSQL database needs one.
    std::string filesPath;
    std::chrono::seconds sessionIdleLimit = std::chrono::minutes(30);
    // However busy, a session ends this long after its login.
    std::chrono::seconds sessionLifetime = std::chrono::hours(12);
    SessionTable::Clock clock = std::chrono::steady_clock::now;
    std::string logPath; // empty: stderr
    // The embedded server runs in the operator's own process on the operator's
    // own file: there LOGIN without "PW" is accepted for an existing operator.
    bool trustLocalLogin = false;
    // Run the queued jobs on a thread of this server (serve and the
    // embedded server do; tools and most tests do not).
    bool runJobs = false;
    // For servers sharing a PostgreSQL database's job queue.
    JobLease jobLease;
    LoginLimits loginLimits;
    // How long a request waits for the database's write lock.
    std::chrono::milliseconds busyTimeout = Database::DefaultBusyTimeout;
};

class JobRunner;

class ServerCore {
public:
    explicit ServerCore(const ServerOptions& options);
    ~ServerCore();

    Store& store() { return store_; }
    SessionTable& sessions() { return sessions_; }
    Dispatcher& dispatcher() { return dispatcher_; }
    Endpoint& endpoint() { return endpoint_; }
    Log& log() { return log_; }

private:
    Log log_;
    Store store_;
    SessionTable sessions_;
    LoginGuard loginGuard_;
    Dispatcher dispatcher_;
    Endpoint endpoint_;
    // Last, so that it stops before what it uses goes.
    std::unique_ptr<JobRunner> jobRunner_;
};

} // namespace orvane::server
