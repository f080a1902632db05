#pragma once
// Runs the queued jobs on a thread of their own while the server answers
// requests: takes the earliest pending job whose start has come, runs it to
// its end, and looks again. On start it marks Failed every job a stopped
// server left running; on destruction the running job stops after its
// current bulk and fails with that reason in its log.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace orvane::server {

class Log;
class Store;

class JobRunner {
public:
    JobRunner(Store& store, Log& log,
              std::chrono::milliseconds idlePoll = std::chrono::milliseconds(250));
    ~JobRunner();
    JobRunner(const JobRunner&) = delete;
    JobRunner& operator=(const JobRunner&) = delete;

    // Looks for a due job at once rather than at the next poll.
    void wake();

private:
    void loop();
    bool runOneDueJob();

    Store& store_;
    Log& log_;
    std::chrono::milliseconds idlePoll_;
    std::atomic<bool> stopping_{false};
    std::mutex mutex_;
    std::condition_variable wakeUp_;
    bool woken_ = false;
    std::thread thread_;
};

} // namespace orvane::server
