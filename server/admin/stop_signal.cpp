#include "stop_signal.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <stdexcept>
#include <unistd.h>

namespace orvane::server {

namespace {

// The write end of the installed StopSignal's pipe, for the handler.
std::atomic<int> signalPipe{-1};
static_assert(std::atomic<int>::is_always_lock_free, "the signal handler may not lock");
struct sigaction previousInterrupt {};
struct sigaction previousTerminate {};

extern "C" void onStopSignal(int) {
    const int savedErrno = errno;
    const char octet = 1;
    // Non-blocking: a full pipe already holds a wake-up.
    [[maybe_unused]] const auto written = ::write(signalPipe.load(), &octet, 1);
    errno = savedErrno;
}

} // namespace

StopSignal::StopSignal() {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0)
        throw std::runtime_error("cannot make a pipe for signals");
    readEnd_ = ends[0];
    writeEnd_ = ends[1];
    ::fcntl(writeEnd_, F_SETFL, O_NONBLOCK);
    int expected = -1;
    if (!signalPipe.compare_exchange_strong(expected, writeEnd_)) {
        ::close(readEnd_);
        ::close(writeEnd_);
        throw std::logic_error("a StopSignal is already installed");
    }

    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, &previousInterrupt);
    ::sigaction(SIGTERM, &action, &previousTerminate);
}

StopSignal::~StopSignal() {
    ::sigaction(SIGINT, &previousInterrupt, nullptr);
    ::sigaction(SIGTERM, &previousTerminate, nullptr);
    signalPipe.store(-1);
    ::close(readEnd_);
    ::close(writeEnd_);
}

void StopSignal::wait() {
    char octet = 0;
    while (::read(readEnd_, &octet, 1) < 0 && errno == EINTR) {
    }
}

void StopSignal::wake() {
    const char octet = 0;
    [[maybe_unused]] const auto written = ::write(writeEnd_, &octet, 1);
}

} // namespace orvane::server
