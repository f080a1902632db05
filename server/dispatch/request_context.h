#pragma once
// What a handler sees: the request's fields, the answer it builds, the
// caller's session and this thread's database connection.

#include "protocol/message.h"
#include "protocol/status.h"
#include "sessions.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orvane::server {

class Database;
class Log;
class LoginGuard;
class Store;

class RequestContext {
public:
    RequestContext(const wire::Request& request, wire::Answer& answer, Store& store,
                   SessionTable& sessions, Log& log, std::optional<Session> session,
                   bool trustLocalLogin = false, std::string_view peer = {},
                   LoginGuard* loginGuard = nullptr);

    // Field values; an absent field reads as empty text, 0 or false (kinds are
    // checked against the handler's rules before it runs).
    std::string text(std::string_view key) const;
    std::int32_t number(std::string_view key) const;
    bool flag(std::string_view key) const;
    bool has(std::string_view key) const;

    void reply(std::string key, wire::Value value) { answer_.add(std::move(key), std::move(value)); }
    void setStatus(std::int32_t status) { answer_.status = status; }
    std::int32_t status() const { return answer_.status; }

    const wire::Request& request() const { return request_; }
    Database& db();
    Store& store() { return store_; }
    SessionTable& sessions() { return sessions_; }
    Log& log() { return log_; }
    // Null only for handlers that need no session.
    const Session* session() const { return session_ ? &*session_ : nullptr; }
    bool hasRight(std::string_view code);
    // True on the embedded server, where LOGIN needs no password.
    bool trustsLocalLogin() const { return trustLocalLogin_; }
    // The client's address; empty on the embedded server.
    std::string_view peer() const { return peer_; }
    LoginGuard* loginGuard() { return loginGuard_; }

private:
    const wire::Request& request_;
    wire::Answer& answer_;
    Store& store_;
    SessionTable& sessions_;
    Log& log_;
    std::optional<Session> session_;
    bool trustLocalLogin_;
    std::string_view peer_;
    LoginGuard* loginGuard_;
};

} // namespace orvane::server
