#include "http_server.h"

#include "dispatch/endpoint.h"
#include "protocol/json_codec.h"
#include "request_reader.h"
#include "socket_transport.h"
#include "util/log.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace orvane::server {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t ReadChunk = 64 * 1024;
// Ids in epoll's data that are not connections.
constexpr std::uint64_t ListenId = 0;
constexpr std::uint64_t WakeId = 1;
// After an error answer the rest of the request is read and dropped for a
// while, so the client sees the answer instead of a reset connection.
constexpr std::chrono::milliseconds DrainTime{2000};
constexpr std::size_t DrainLimit = 64 * 1024 * 1024;
// How long accepting pauses when the process is out of file descriptors.
constexpr std::chrono::milliseconds AcceptPause{100};

const char* reasonOf(int status) {
    switch (status) {
    case 100: return "Continue";
    case 200: return "OK";
    case 400: return "Bad Request";
    case 401: return "Unauthorized";
    case 404: return "Not Found";
    case 408: return "Request Timeout";
    case 411: return "Length Required";
    case 413: return "Content Too Large";
    case 415: return "Unsupported Media Type";
    case 417: return "Expectation Failed";
    case 431: return "Request Header Fields Too Large";
    case 500: return "Internal Server Error";
    case 501: return "Not Implemented";
    case 503: return "Service Unavailable";
    case 505: return "HTTP Version Not Supported";
    default: return "Error";
    }
}

std::string response(int status, std::string_view body, bool keepAlive) {
    std::string out = "HTTP/1.1 " + std::to_string(status) + ' ' + reasonOf(status) +
                      "\r\nContent-Type: application/json\r\nContent-Length: " +
                      std::to_string(body.size()) +
                      (keepAlive ? "\r\nConnection: keep-alive\r\n\r\n"
                                 : "\r\nConnection: close\r\n\r\n");
    out.append(body);
    return out;
}

std::string errorResponse(int status, std::string_view why) {
    return response(status, wire::encodeError(why), false);
}

bool hasToken(std::string_view list, std::string_view token) {
    // A comma-separated list of tokens, compared without regard to case.
    std::size_t at = 0;
    while (at <= list.size()) {
        auto end = list.find(',', at);
        if (end == std::string_view::npos)
            end = list.size();
        std::string_view item = list.substr(at, end - at);
        while (!item.empty() && item.front() == ' ')
            item.remove_prefix(1);
        while (!item.empty() && item.back() == ' ')
            item.remove_suffix(1);
        if (item.size() == token.size() &&
            std::equal(item.begin(), item.end(), token.begin(), [](char a, char b) {
                return std::tolower(static_cast<unsigned char>(a)) ==
                       std::tolower(static_cast<unsigned char>(b));
            }))
            return true;
        at = end + 1;
    }
    return false;
}

// "application/json", in any case, with or without parameters.
bool isJson(std::string_view contentType) {
    std::string_view type = contentType.substr(0, contentType.find(';'));
    while (!type.empty() && (type.back() == ' ' || type.back() == '\t'))
        type.remove_suffix(1);
    return hasToken(type, "application/json") && type.find(',') == std::string_view::npos;
}

std::string peerText(const sockaddr_storage& address) {
    char text[INET6_ADDRSTRLEN] = {};
    if (address.ss_family == AF_INET) {
        sockaddr_in in{};
        std::memcpy(&in, &address, sizeof in);
        ::inet_ntop(AF_INET, &in.sin_addr, text, sizeof text);
    } else if (address.ss_family == AF_INET6) {
        sockaddr_in6 in6{};
        std::memcpy(&in6, &address, sizeof in6);
        ::inet_ntop(AF_INET6, &in6.sin6_addr, text, sizeof text);
    }
    return text;
}

enum class Phase { Handshake, Reading, Working, Writing, Draining };

struct Connection {
    Connection(std::uint64_t id_, int fd_, std::string peer_, const HttpLimits& limits)
        : id(id_), fd(fd_), peer(std::move(peer_)),
          reader(limits.maxHeadBytes, limits.maxHeaders) {}
    ~Connection() {
        transport.reset();
        ::close(fd);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    std::uint64_t id;
    int fd;
    std::string peer;
    std::unique_ptr<SocketTransport> transport;
    Phase phase = Phase::Reading;
    RequestReader reader;
    std::string out;
    std::size_t written = 0;
    bool closeAfterWrite = false;
    bool keepAlive = true;
    Clock::time_point deadline;
    std::size_t drained = 0;
    std::uint32_t events = 0; // what epoll watches for now
    bool gone = false;        // the peer hung up while its request ran
};

struct Task {
    std::uint64_t connection = 0;
    std::string body;
    std::string authorization;
    std::string peer;
    bool keepAlive = true;
};

struct Completion {
    std::uint64_t connection = 0;
    std::string bytes;
    bool keepAlive = true;
};

} // namespace

struct HttpServer::Impl {
    Impl(Endpoint& endpoint_, Log& log_, const TlsFiles& tlsFiles, HttpLimits limits_)
        : endpoint(endpoint_), log(log_), limits(limits_) {
        limits.workers = std::max(1, limits.workers);
        limits.backlog = std::max(1, limits.backlog);
        limits.maxConnections = std::max<std::size_t>(1, limits.maxConnections);
        if (tlsFiles.enabled()) {
            tls = std::make_unique<TlsContext>(tlsFiles.certificate, tlsFiles.key);
            if (!tls->error().empty())
                error = tls->error();
        }
        wakeFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    }
    ~Impl() {
        if (listenFd >= 0)
            ::close(listenFd);
        if (wakeFd >= 0)
            ::close(wakeFd);
    }

    int bind(const std::string& host, int port);
    bool serve();
    void wake() {
        const std::uint64_t one = 1;
        [[maybe_unused]] const auto n = ::write(wakeFd, &one, sizeof one);
    }

    // The reactor's side.
    void acceptAll();
    void drive(Connection& c);
    void readRequest(Connection& c);
    void onHead(Connection& c);
    void afterReading(Connection& c);
    void startWriting(Connection& c, std::string bytes, bool closeAfter);
    void writeOut(Connection& c);
    void afterWriting(Connection& c);
    void drain(Connection& c);
    void watch(Connection& c, std::uint32_t events);
    void close(Connection& c);
    void takeCompletions();
    void sweepDeadlines();
    void onIo(Connection& c, IoState state);

    // The workers' side.
    void work();

    Endpoint& endpoint;
    Log& log;
    HttpLimits limits;
    std::unique_ptr<TlsContext> tls;
    std::string error;

    int listenFd = -1;
    int wakeFd = -1;
    int epollFd = -1;
    std::atomic<bool> stopRequested{false};
    std::atomic<bool> serving{false};
    std::mutex servingMutex;
    std::condition_variable servingEnded;

    std::map<std::uint64_t, std::unique_ptr<Connection>> connections;
    std::vector<std::uint64_t> closing;
    std::uint64_t nextId = 2;
    Clock::time_point acceptPausedUntil{};
    bool acceptPaused = false;

    std::mutex taskMutex;
    std::condition_variable taskReady;
    std::deque<Task> tasks;
    bool workersStop = false;
    std::vector<std::thread> workers;

    std::mutex doneMutex;
    std::vector<Completion> done;
};

int HttpServer::Impl::bind(const std::string& host, int port) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(port);
    if (const int rc = ::getaddrinfo(host.empty() ? nullptr : host.c_str(), service.c_str(),
                                     &hints, &found);
        rc != 0) {
        error = "cannot resolve " + host + ": " + ::gai_strerror(rc);
        return -1;
    }
    int fd = -1;
    for (addrinfo* a = found; a; a = a->ai_next) {
        fd = ::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, a->ai_protocol);
        if (fd < 0)
            continue;
        // SO_REUSEADDR alone: a restart may bind over connections in TIME_WAIT,
        // but a second server cannot share a port another one listens on.
        int yes = 1;
        ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        if (::bind(fd, a->ai_addr, a->ai_addrlen) == 0 && ::listen(fd, limits.backlog) == 0)
            break;
        error = std::strerror(errno);
        ::close(fd);
        fd = -1;
    }
    ::freeaddrinfo(found);
    if (fd < 0)
        return -1;
    sockaddr_storage bound{};
    socklen_t length = sizeof bound;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&bound), &length);
    if (listenFd >= 0)
        ::close(listenFd);
    listenFd = fd;
    error.clear();
    if (bound.ss_family == AF_INET6) {
        sockaddr_in6 in6{};
        std::memcpy(&in6, &bound, sizeof in6);
        return ntohs(in6.sin6_port);
    }
    sockaddr_in in{};
    std::memcpy(&in, &bound, sizeof in);
    return ntohs(in.sin_port);
}

bool HttpServer::Impl::serve() {
    if (listenFd < 0 || wakeFd < 0 || (tls && !tls->error().empty()))
        return false;
    epollFd = ::epoll_create1(EPOLL_CLOEXEC);
    if (epollFd < 0)
        return false;
    epoll_event listenEvent{EPOLLIN, {.u64 = ListenId}};
    epoll_event wakeEvent{EPOLLIN, {.u64 = WakeId}};
    ::epoll_ctl(epollFd, EPOLL_CTL_ADD, listenFd, &listenEvent);
    ::epoll_ctl(epollFd, EPOLL_CTL_ADD, wakeFd, &wakeEvent);

    workersStop = false;
    for (int i = 0; i < limits.workers; ++i)
        workers.emplace_back([this] { work(); });

    std::vector<epoll_event> events(256);
    while (!stopRequested) {
        const int n = ::epoll_wait(epollFd, events.data(), static_cast<int>(events.size()), 50);
        if (n < 0 && errno != EINTR)
            break;
        for (int i = 0; i < n; ++i) {
            const std::uint64_t id = events[static_cast<std::size_t>(i)].data.u64;
            const std::uint32_t what = events[static_cast<std::size_t>(i)].events;
            if (id == ListenId) {
                acceptAll();
                continue;
            }
            if (id == WakeId) {
                std::uint64_t count = 0;
                [[maybe_unused]] const auto r = ::read(wakeFd, &count, sizeof count);
                continue;
            }
            const auto it = connections.find(id);
            if (it == connections.end())
                continue;
            Connection& c = *it->second;
            if (c.phase == Phase::Working) {
                // Nothing is read while the request runs; a hang-up is noted
                // and the answer dropped when it comes.
                if (what & (EPOLLHUP | EPOLLERR)) {
                    c.gone = true;
                    ::epoll_ctl(epollFd, EPOLL_CTL_DEL, c.fd, nullptr);
                }
                continue;
            }
            drive(c);
        }
        takeCompletions();
        sweepDeadlines();
        if (acceptPaused && Clock::now() >= acceptPausedUntil) {
            acceptPaused = false;
            epoll_event again{EPOLLIN, {.u64 = ListenId}};
            ::epoll_ctl(epollFd, EPOLL_CTL_ADD, listenFd, &again);
        }
        for (const std::uint64_t id : closing)
            connections.erase(id);
        closing.clear();
    }

    {
        std::lock_guard lock(taskMutex);
        workersStop = true;
    }
    taskReady.notify_all();
    for (auto& w : workers)
        w.join();
    workers.clear();
    tasks.clear();
    done.clear();
    connections.clear();
    ::close(epollFd);
    epollFd = -1;
    return true;
}

void HttpServer::Impl::acceptAll() {
    while (true) {
        sockaddr_storage address{};
        socklen_t length = sizeof address;
        const int fd = ::accept4(listenFd, reinterpret_cast<sockaddr*>(&address), &length,
                                 SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EINTR || errno == ECONNABORTED)
                continue;
            if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
                // Out of descriptors: stop watching the listener for a moment
                // rather than wake for it again and again.
                ::epoll_ctl(epollFd, EPOLL_CTL_DEL, listenFd, nullptr);
                acceptPaused = true;
                acceptPausedUntil = Clock::now() + AcceptPause;
            }
            return;
        }
        if (connections.size() >= limits.maxConnections) {
            ::close(fd);
            continue;
        }
        int yes = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
        const std::uint64_t id = nextId++;
        auto c = std::make_unique<Connection>(id, fd, peerText(address), limits);
        c->transport = tls ? tls->accept(fd) : plainTransport(fd);
        c->phase = tls ? Phase::Handshake : Phase::Reading;
        c->deadline = Clock::now() + limits.requestTimeout;
        epoll_event event{0, {.u64 = id}};
        if (::epoll_ctl(epollFd, EPOLL_CTL_ADD, fd, &event) != 0)
            continue; // the connection closes as c goes
        Connection& added = *connections.emplace(id, std::move(c)).first->second;
        drive(added);
    }
}

void HttpServer::Impl::watch(Connection& c, std::uint32_t events) {
    if (c.events == events)
        return;
    epoll_event event{events, {.u64 = c.id}};
    ::epoll_ctl(epollFd, EPOLL_CTL_MOD, c.fd, &event);
    c.events = events;
}

void HttpServer::Impl::close(Connection& c) {
    ::epoll_ctl(epollFd, EPOLL_CTL_DEL, c.fd, nullptr);
    c.events = 0;
    c.phase = Phase::Working; // nothing more is done with it
    c.gone = true;
    closing.push_back(c.id);
}

// A transport call that could not go on: wait for the socket, or give up.
void HttpServer::Impl::onIo(Connection& c, IoState state) {
    if (state == IoState::WantRead)
        watch(c, EPOLLIN);
    else if (state == IoState::WantWrite)
        watch(c, EPOLLOUT);
    else
        close(c);
}

void HttpServer::Impl::drive(Connection& c) {
    switch (c.phase) {
    case Phase::Handshake: {
        const IoResult r = c.transport->handshake();
        if (r.state != IoState::Done) {
            onIo(c, r.state);
            return;
        }
        c.phase = Phase::Reading;
        readRequest(c);
        return;
    }
    case Phase::Reading:
        readRequest(c);
        return;
    case Phase::Writing:
        writeOut(c);
        return;
    case Phase::Draining:
        drain(c);
        return;
    case Phase::Working:
        return;
    }
}

void HttpServer::Impl::readRequest(Connection& c) {
    char buffer[ReadChunk];
    while (c.phase == Phase::Reading) {
        const IoResult r = c.transport->read(buffer, sizeof buffer);
        if (r.state != IoState::Done) {
            onIo(c, r.state);
            return;
        }
        if (!c.reader.started())
            c.deadline = Clock::now() + limits.requestTimeout;
        // Acknowledge at once: a client that writes its head and its body
        // apart (as the common client libraries do) otherwise holds the body
        // back until a delayed acknowledgement comes, 40 ms later.
        int quick = 1;
        ::setsockopt(c.fd, IPPROTO_TCP, TCP_QUICKACK, &quick, sizeof quick);
        c.reader.feed(std::string_view(buffer, r.bytes));
        afterReading(c);
    }
}

// Acts on what the reader has made of the bytes so far.
void HttpServer::Impl::afterReading(Connection& c) {
    if (c.reader.state() == RequestReader::State::HeadDone)
        onHead(c);
    switch (c.reader.state()) {
    case RequestReader::State::Failed:
        startWriting(c, errorResponse(c.reader.errorStatus(), c.reader.error()), true);
        return;
    case RequestReader::State::Complete: {
        const HttpHead& head = c.reader.head();
        const std::string* authorization = head.find("authorization");
        Task task{c.id, c.reader.takeBody(), authorization ? *authorization : std::string(),
                  c.peer, c.keepAlive};
        c.phase = Phase::Working;
        watch(c, 0);
        {
            std::lock_guard lock(taskMutex);
            tasks.push_back(std::move(task));
        }
        taskReady.notify_one();
        return;
    }
    default:
        return;
    }
}

// The head is in: everything that can be refused without the body is refused
// here, before a byte of the body is kept.
void HttpServer::Impl::onHead(Connection& c) {
    RequestReader& reader = c.reader;
    const HttpHead& head = reader.head();

    const std::string* connection = head.find("connection");
    c.keepAlive = head.version == "HTTP/1.1" ? !(connection && hasToken(*connection, "close"))
                                             : connection && hasToken(*connection, "keep-alive");

    if (head.method != "POST" || head.target != Endpoint::Path) {
        reader.fail(404, "no such path; requests go to POST /orvane/v1/request");
        return;
    }
    const std::string* chunked = head.find("transfer-encoding");
    const std::string* length = head.find("content-length");
    if (head.count("transfer-encoding") > 1 || head.count("content-length") > 1 ||
        (chunked && length)) {
        reader.fail(400, "the body's length is given more than once");
        return;
    }
    if (chunked && !hasToken(*chunked, "chunked")) {
        reader.fail(501, "only chunked transfer coding is understood");
        return;
    }
    if (chunked && *chunked != "chunked") {
        reader.fail(501, "only chunked transfer coding is understood");
        return;
    }
    if (const std::string* coding = head.find("content-encoding");
        coding && !hasToken(*coding, "identity")) {
        reader.fail(415, "compressed request bodies are not accepted");
        return;
    }

    std::uint64_t size = 0;
    if (length) {
        const char* end = length->data() + length->size();
        const auto [at, rc] = std::from_chars(length->data(), end, size);
        if (length->empty() || rc != std::errc() || at != end) {
            reader.fail(400, "Content-Length is not a number");
            return;
        }
    }

    // Without a session only LOGIN can be asked, and its body is small: a
    // larger one is refused as the dispatcher would refuse it, unread.
    const std::string* authorization = head.find("authorization");
    const bool known = authorization && endpoint.knowsSession(*authorization);
    const std::size_t allowed = known ? limits.maxBodyBytes : limits.maxAnonymousBodyBytes;
    // Only JSON reaches a handler: a web page may post a form or plain text
    // to any server without asking, but not application/json.
    if (const std::string* type = head.find("content-type"); !type || !isJson(*type)) {
        reader.fail(415, "request bodies must be application/json");
        return;
    }
    if (const std::string* expect = head.find("expect")) {
        if (!hasToken(*expect, "100-continue")) {
            reader.fail(417, "only Expect: 100-continue is understood");
            return;
        }
        if (chunked || size <= allowed) {
            static constexpr std::string_view Continue = "HTTP/1.1 100 Continue\r\n\r\n";
            const IoResult r = c.transport->write(Continue.data(), Continue.size());
            if (r.state != IoState::Done || r.bytes != Continue.size()) {
                reader.fail(500, "cannot answer Expect: 100-continue");
                return;
            }
        }
    }
    const auto framing =
        chunked ? RequestReader::Framing::Chunked : RequestReader::Framing::Length;
    if (known)
        reader.startBody(framing, size, allowed);
    else
        reader.startBody(framing, size, allowed, 401,
                         authorization ? "the session token is unknown or has expired; log in again"
                                       : "a session token is required; send LOGIN first");
}

void HttpServer::Impl::startWriting(Connection& c, std::string bytes, bool closeAfter) {
    c.out = std::move(bytes);
    c.written = 0;
    c.closeAfterWrite = closeAfter || !c.keepAlive;
    c.phase = Phase::Writing;
    c.deadline = Clock::now() + limits.writeTimeout;
    writeOut(c);
}

void HttpServer::Impl::writeOut(Connection& c) {
    while (c.written < c.out.size()) {
        const IoResult r = c.transport->write(c.out.data() + c.written, c.out.size() - c.written);
        if (r.state != IoState::Done) {
            onIo(c, r.state);
            return;
        }
        c.written += r.bytes;
        c.deadline = Clock::now() + limits.writeTimeout;
    }
    afterWriting(c);
}

void HttpServer::Impl::afterWriting(Connection& c) {
    c.out.clear();
    c.out.shrink_to_fit();
    if (c.closeAfterWrite) {
        c.transport->finishWriting();
        if (!c.transport->canDrain()) {
            close(c);
            return;
        }
        c.phase = Phase::Draining;
        c.deadline = Clock::now() + DrainTime;
        drain(c);
        return;
    }
    c.reader.next();
    c.phase = Phase::Reading;
    c.deadline = Clock::now() + (c.reader.started() ? limits.requestTimeout : limits.idleTimeout);
    // A request that came behind the last one may be read whole already.
    afterReading(c);
    if (c.phase == Phase::Reading)
        readRequest(c);
}

void HttpServer::Impl::drain(Connection& c) {
    char buffer[ReadChunk];
    while (true) {
        const IoResult r = c.transport->read(buffer, sizeof buffer);
        if (r.state != IoState::Done || (c.drained += r.bytes) > DrainLimit) {
            if (r.state == IoState::WantRead && c.drained <= DrainLimit)
                watch(c, EPOLLIN);
            else
                close(c);
            return;
        }
    }
}

void HttpServer::Impl::takeCompletions() {
    std::vector<Completion> ready;
    {
        std::lock_guard lock(doneMutex);
        ready.swap(done);
    }
    for (Completion& completion : ready) {
        const auto it = connections.find(completion.connection);
        if (it == connections.end())
            continue;
        Connection& c = *it->second;
        if (c.gone) {
            close(c);
            continue;
        }
        startWriting(c, std::move(completion.bytes), !completion.keepAlive);
    }
}

void HttpServer::Impl::sweepDeadlines() {
    const auto now = Clock::now();
    for (auto& [id, c] : connections) {
        if (c->phase == Phase::Working || now < c->deadline)
            continue;
        if (c->phase == Phase::Reading && c->reader.started()) {
            c->reader.fail(408, "the request did not arrive in time");
            // The answer gets a moment of its own to go out.
            startWriting(*c, errorResponse(408, c->reader.error()), true);
            continue;
        }
        close(*c);
    }
}

void HttpServer::Impl::work() {
    while (true) {
        Task task;
        {
            std::unique_lock lock(taskMutex);
            taskReady.wait(lock, [this] { return workersStop || !tasks.empty(); });
            if (workersStop)
                return;
            task = std::move(tasks.front());
            tasks.pop_front();
        }
        Completion completion{task.connection, {}, task.keepAlive};
        try {
            HttpReply reply = endpoint.handle(task.body, task.authorization, task.peer);
            completion.bytes = response(reply.status, reply.body, task.keepAlive);
        } catch (const std::exception& e) {
            log.line(std::string("http: ") + e.what());
            completion.bytes = errorResponse(500, "internal server error");
            completion.keepAlive = false;
        }
        {
            std::lock_guard lock(doneMutex);
            done.push_back(std::move(completion));
        }
        wake();
    }
}

HttpServer::HttpServer(Endpoint& endpoint, Log& log, const TlsFiles& tls, HttpLimits limits)
    : impl_(std::make_unique<Impl>(endpoint, log, tls, limits)) {}

HttpServer::~HttpServer() { stop(); }

bool HttpServer::valid() const { return !impl_->tls || impl_->tls->error().empty(); }

const std::string& HttpServer::error() const { return impl_->error; }

int HttpServer::bind(const std::string& host, int port) { return impl_->bind(host, port); }

bool HttpServer::serve() {
    {
        std::lock_guard lock(impl_->servingMutex);
        if (impl_->stopRequested)
            return true;
        impl_->serving = true;
    }
    const bool ok = impl_->serve();
    {
        std::lock_guard lock(impl_->servingMutex);
        impl_->serving = false;
    }
    impl_->servingEnded.notify_all();
    return ok;
}

void HttpServer::stop() {
    std::unique_lock lock(impl_->servingMutex);
    impl_->stopRequested = true;
    impl_->wake();
    impl_->servingEnded.wait(lock, [this] { return !impl_->serving; });
}

} // namespace orvane::server
