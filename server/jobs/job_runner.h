#pragma once
// Runs the queued jobs on a thread of their own while the server answers
// requests: takes the earliest pending job whose start has come, runs it to
// its end, and looks again. On start it marks Failed every job a stopped
// server left running; on destruction the running job stops after its
// current bulk and fails with that reason in its log.
//
// On PostgreSQL several servers share the queue: each runner holds a lease on
// the job it runs, renewed by a heartbeat, and fails the jobs whose lease ran
// out (their server died) in its stead; a job running elsewhere is left alone
// at start.

#include "job_lease.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

namespace orvane::server {

class Log;
class Store;

class JobRunner {
public:
    JobRunner(Store& store, Log& log,
              std::chrono::milliseconds idlePoll = std::chrono::milliseconds(250),
              JobLease lease = {});
    ~JobRunner();
    JobRunner(const JobRunner&) = delete;
    JobRunner& operator=(const JobRunner&) = delete;

    // Looks for a due job at once rather than at the next poll.
    void wake();

private:
    void loop();
    bool runOneDueJob();
    void keepLease();
    void failInterrupted();
    void failAbandoned();

    Store& store_;
    Log& log_;
    std::chrono::milliseconds idlePoll_;
    std::atomic<bool> stopping_{false};
    std::mutex mutex_;
    std::condition_variable wakeUp_;
    bool woken_ = false;
    JobLease lease_;
    // This process among the servers sharing the queue.
    std::string runnerId_;
    std::atomic<std::int32_t> running_{0};
    std::thread heartbeat_;
    std::thread thread_;
};

} // namespace orvane::server
