#include "job_runner.h"

#include "job_execution.h"
#include "job_kinds.h"
#include "dispatch/sessions.h"
#include "store/store.h"
#include "util/log.h"

#include <fstream>
#include <unistd.h>

namespace orvane::server {

namespace {

void appendToLog(const JobFiles& files, const std::string& line) {
    std::filesystem::create_directories(files.folder());
    std::ofstream(files.log(), std::ios::binary | std::ios::app) << line << "\n";
}

JobEnd execute(JobExecution& run) {
    switch (run.job().type) {
    case jobs::type::Scan:
        return runScanJob(run);
    case jobs::type::DataChange:
        return runDataChangeJob(run);
    case jobs::type::IndexRecords:
        return runIndexJob(run);
    case jobs::type::AuthLoadMatch:
        return runAuthMatchJob(run);
    case jobs::type::AuthLoadMerge:
        return runAuthMergeJob(run);
    case jobs::type::AuthDbLoad:
        return runAuthDbLoadJob(run);
    case jobs::type::AuthLoadReconcile:
        // A data change on an authority record set that always saves.
        return runDataChangeJob(run);
    default:
        return {jobs::status::Failed, "this server does not run jobs of type " +
                                          std::to_string(run.job().type) + " yet"};
    }
}

} // namespace

JobRunner::JobRunner(Store& store, Log& log, std::chrono::milliseconds idlePoll, JobLease lease)
    : store_(store), log_(log), idlePoll_(idlePoll), lease_(lease) {
    char host[256] = {};
    ::gethostname(host, sizeof host - 1);
    runnerId_.append(host).append(":").append(std::to_string(::getpid())).append(":");
    runnerId_.append(newToken().substr(0, 8));
    if (store_.engine() == Engine::Postgres)
        heartbeat_ = std::thread([this] { keepLease(); });
    thread_ = std::thread([this] { loop(); });
}

JobRunner::~JobRunner() {
    stopping_ = true;
    wake();
    thread_.join();
    if (heartbeat_.joinable())
        heartbeat_.join();
}

void JobRunner::keepLease() {
    while (!stopping_) {
        try {
            if (const std::int32_t id = running_.load())
                JobStore(store_.db()).heartbeat(id, runnerId_);
            failAbandoned();
        } catch (const std::exception& e) {
            log_.line(std::string("job runner: ") + e.what());
        }
        std::unique_lock lock(mutex_);
        wakeUp_.wait_for(lock, lease_.heartbeatEvery, [this] { return stopping_.load(); });
    }
}

void JobRunner::failInterrupted() {
    for (const std::int32_t id : JobStore(store_.db()).failInterrupted()) {
        appendToLog(JobFiles(store_.path(), id),
                    "Failed: the server stopped while the job ran (found at its next start)");
        log_.line("job " + std::to_string(id) + " was running when the server stopped; failed");
    }
}

void JobRunner::failAbandoned() {
    for (const std::int32_t id : JobStore(store_.db()).failAbandoned(lease_.length.count())) {
        appendToLog(JobFiles(store_.path(), id),
                    "Failed: the server running the job stopped answering (its lease ran out)");
        log_.line("job " + std::to_string(id) +
                  " was running on a server that stopped answering; failed");
    }
}

void JobRunner::wake() {
    {
        std::lock_guard lock(mutex_);
        woken_ = true;
    }
    wakeUp_.notify_all();
}

void JobRunner::loop() {
    try {
        // Other servers may be running jobs of a shared queue: theirs are
        // failed only once their lease runs out.
        if (store_.engine() == Engine::Postgres)
            failAbandoned();
        else
            failInterrupted();
    } catch (const std::exception& e) {
        log_.line(std::string("job runner: ") + e.what());
    }
    while (!stopping_) {
        bool ran = false;
        try {
            ran = runOneDueJob();
        } catch (const std::exception& e) {
            log_.line(std::string("job runner: ") + e.what());
        }
        if (ran)
            continue;
        std::unique_lock lock(mutex_);
        wakeUp_.wait_for(lock, idlePoll_, [this] { return woken_; });
        woken_ = false;
    }
}

bool JobRunner::runOneDueJob() {
    Database& db = store_.db();
    auto job = JobStore(db).claimDue(jobTimeNow(), runnerId_);
    if (!job)
        return false;
    const std::int32_t id = job->id;
    running_ = id;
    log_.line("job " + std::to_string(id) + " \"" + job->name + "\" started");
    JobExecution run(db, store_.path(), std::move(*job), stopping_);
    JobEnd end;
    try {
        end = execute(run);
    } catch (const std::exception& e) {
        end = {jobs::status::Failed, e.what()};
    }
    JobStore(db).finish(id, end.status);
    running_ = 0;
    if (end.status == jobs::status::Failed)
        appendToLog(run.files(), "Failed: " + end.reason);
    log_.line("job " + std::to_string(id) + " ended with status " + std::to_string(end.status));
    return true;
}

} // namespace orvane::server
