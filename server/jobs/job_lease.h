#pragma once
// How long a server sharing the job queue may stay silent about the job it
// runs before the others take it for dead, and how often it speaks.

#include <chrono>

namespace orvane::server {

struct JobLease {
    std::chrono::seconds length{30};
    std::chrono::milliseconds heartbeatEvery{5000};
};

} // namespace orvane::server
