#pragma once
// SIGINT and SIGTERM turned into something a thread can wait for. The
// handler only writes one octet to a pipe; the waiting thread does the rest.

namespace orvane::server {

class StopSignal {
public:
    // Installs the handlers; one StopSignal at a time.
    StopSignal();
    // Puts the previous handlers back.
    ~StopSignal();
    StopSignal(const StopSignal&) = delete;
    StopSignal& operator=(const StopSignal&) = delete;

    // Blocks until a signal comes or wake() is called.
    void wait();
    void wake();

private:
    int readEnd_ = -1;
    int writeEnd_ = -1;
};

} // namespace orvane::server
