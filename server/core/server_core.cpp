#include "server_core.h"

#include "handlers/register.h"
#include "jobs/job_runner.h"

namespace orvane::server {

ServerCore::ServerCore(const ServerOptions& options)
    : log_(), store_(options.dbPath, options.busyTimeout, options.filesPath), sessions_(options.sessionIdleLimit, options.clock, options.sessionLifetime,
                store_.engine() == Engine::Postgres ? &store_ : nullptr),
      loginGuard_(options.loginLimits, options.clock),
      dispatcher_(store_, sessions_, log_, {options.trustLocalLogin, &loginGuard_}),
      endpoint_(dispatcher_) {
    if (!options.logPath.empty())
        log_.toFile(options.logPath);
    registerAllHandlers(dispatcher_);
    if (options.runJobs)
        jobRunner_ = std::make_unique<JobRunner>(store_, log_, std::chrono::milliseconds(250),
                                                 options.jobLease);
}

ServerCore::~ServerCore() = default;

} // namespace orvane::server
