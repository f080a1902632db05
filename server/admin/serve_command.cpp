// orvane-server serve: answers requests over HTTP until SIGINT or SIGTERM.
#include "auth/operators.h"
#include "command.h"
#include "command_support.h"
#include "console.h"
#include "core/server_core.h"
#include "http/http_server.h"
#include "listen_check.h"
#include "stop_signal.h"

#include <charconv>
#include <csignal>
#include <chrono>
#include <ostream>
#include <sys/resource.h>
#include <thread>

namespace orvane::server {

namespace {

struct ListenAddress {
    std::string host;
    int port = 0;
};

template <typename Number>
std::optional<Number> parseNumber(std::string_view text, Number low, Number high) {
    Number value{};
    const auto* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end || value < low || value > high)
        return std::nullopt;
    return value;
}

ListenAddress parseListen(const std::string& text) {
    const auto colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0)
        throw UsageError("--listen wants HOST:PORT, not " + text);
    const auto port = parseNumber(std::string_view(text).substr(colon + 1), 0, 65535);
    if (!port)
        throw UsageError("--listen wants a port from 0 to 65535, not " + text.substr(colon + 1));
    return {text.substr(0, colon), *port};
}

ServerOptions serverOptions(const Arguments& args) {
    ServerOptions options;
    options.dbPath = args.required("db");
    options.filesPath = filesBase(args);
    if (isPostgresLocation(options.dbPath) && options.filesPath.empty())
        throw UsageError("a PostgreSQL database needs --files DIR, the folder of job logs and "
                         "result files every server shares");
    if (auto idle = args.value("session-idle")) {
        const auto seconds = parseNumber<long>(*idle, 1, 365L * 24 * 3600);
        if (!seconds)
            throw UsageError("--session-idle wants a number of seconds, not " + *idle);
        options.sessionIdleLimit = std::chrono::seconds(*seconds);
    }
    if (auto lifetime = args.value("session-max")) {
        const auto seconds = parseNumber<long>(*lifetime, 60, 365L * 24 * 3600);
        if (!seconds)
            throw UsageError("--session-max wants a number of seconds from 60, not " + *lifetime);
        options.sessionLifetime = std::chrono::seconds(*seconds);
    }
    if (auto lease = args.value("job-lease")) {
        const auto seconds = parseNumber<long>(*lease, 2, 3600);
        if (!seconds)
            throw UsageError("--job-lease wants a number of seconds from 2 to 3600, not " + *lease);
        options.jobLease.length = std::chrono::seconds(*seconds);
        options.jobLease.heartbeatEvery = std::chrono::milliseconds(*seconds * 1000 / 6);
    }
    options.logPath = args.value("log").value_or("");
    options.runJobs = true;
    return options;
}

HttpLimits httpLimits(const Arguments& args) {
    HttpLimits limits;
    const auto number = [&](const char* option, int low, int high, auto& into) {
        if (auto text = args.value(option)) {
            const auto value = parseNumber<int>(*text, low, high);
            if (!value)
                throw UsageError(std::string("--") + option + " wants a number from " +
                                 std::to_string(low) + " to " + std::to_string(high) +
                                 ", not " + *text);
            into = static_cast<std::remove_reference_t<decltype(into)>>(*value);
        }
    };
    number("workers", 1, 1024, limits.workers);
    number("backlog", 1, 65535, limits.backlog);
    number("max-connections", 1, 100000, limits.maxConnections);
    int seconds = 0;
    number("request-timeout", 1, 3600, seconds);
    if (seconds > 0)
        limits.requestTimeout = std::chrono::seconds(seconds);
    return limits;
}

// Each connection is a descriptor: take what the host allows, so the
// connection limit rather than the default descriptor limit applies.
void raiseDescriptorLimit() {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        ::setrlimit(RLIMIT_NOFILE, &limit);
    }
}

void serve(const Arguments& args, Console& console) {
    const ServerOptions options = serverOptions(args);
    const HttpLimits limits = httpLimits(args);
    const ListenAddress listen = parseListen(args.required("listen"));
    const TlsFiles tls{args.value("tls-cert").value_or(""), args.value("tls-key").value_or("")};
    if (tls.certificate.empty() != tls.key.empty())
        throw UsageError("--tls-cert and --tls-key go together");

    const auto& path = options.dbPath;
    requireExistingDatabase(path);
    ServerCore core(options);
    if (operatorCount(core.store().db()) == 0) {
        const std::string init = "orvane-server init --db " + path;
        throw std::runtime_error(path + " has no operators, so nobody could log in; run " + init +
                                 " --demo for the demo operators, or add one with "
                                 "orvane-server operator add");
    }

    raiseDescriptorLimit();
    // A server whose standard output was closed (its starter went away) or a
    // TLS peer gone mid-write must not be ended by SIGPIPE: writes fail instead.
    std::signal(SIGPIPE, SIG_IGN);
    HttpServer http(core.endpoint(), core.log(), tls, limits);
    if (!http.valid())
        throw std::runtime_error("cannot use the TLS certificate " + tls.certificate +
                                 " with the key " + tls.key + ": " + http.error());
    StopSignal stopSignal;
    const int port = http.bind(listen.host, listen.port);
    if (port < 0)
        throw std::runtime_error("cannot listen on " + listen.host + ":" +
                                 std::to_string(listen.port) + ": " + http.error());

    const std::string url =
        (tls.enabled() ? "https://" : "http://") + listen.host + ":" + std::to_string(port);
    core.log().line("listening on " + url);
    console.out << "listening on " << url << std::endl;
    if (const std::string warning = clearTextWarning(listen.host, tls.enabled()); !warning.empty()) {
        core.log().line(warning);
        console.err << warning << std::endl;
    }

    // The signal handler only wakes this thread; stopping is done here.
    std::thread watcher([&] {
        stopSignal.wait();
        http.stop();
    });
    const bool served = http.serve();
    stopSignal.wake(); // when serving ended by itself
    watcher.join();
    core.log().line("stopped");
    if (!served)
        throw std::runtime_error("serving on " + url + " failed");
    console.out << "stopped" << std::endl;
}

} // namespace

Command serveCommand() {
    return {.words = "serve",
            .synopsis = "--db FILE|URL [--files DIR] --listen HOST:PORT "
                        "[--tls-cert FILE --tls-key FILE] "
                        "[--session-idle SECONDS] [--session-max SECONDS] [--log FILE] "
                        "[--job-lease SECONDS] "
                        "[--workers N] [--backlog N] "
                        "[--max-connections N] [--request-timeout SECONDS]",
            .summary = "answer requests over HTTP (HTTPS with a certificate) until stopped; "
                       "port 0 picks a free one; workers (16) run requests, a request's head "
                       "and body must be in within the request timeout (10 s)",
            .options = {{"db"},
                        {"files"},
                        {"listen"},
                        {"tls-cert"},
                        {"tls-key"},
                        {"session-idle"},
                        {"session-max"},
                        {"log"},
                        {"job-lease"},
                        {"workers"},
                        {"backlog"},
                        {"max-connections"},
                        {"request-timeout"}},
            .takesWords = false,
            .run = serve};
}

} // namespace orvane::server
