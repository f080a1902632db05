#include "request_context.h"

#include "auth/rights.h"
#include "store/store.h"

namespace orvane::server {

RequestContext::RequestContext(const wire::Request& request, wire::Answer& answer, Store& store,
                               SessionTable& sessions, Log& log, std::optional<Session> session,
                               bool trustLocalLogin, std::string_view peer,
                               LoginGuard* loginGuard)
    : request_(request), answer_(answer), store_(store), sessions_(sessions), log_(log),
      session_(std::move(session)), trustLocalLogin_(trustLocalLogin), peer_(peer),
      loginGuard_(loginGuard) {}

std::string RequestContext::text(std::string_view key) const {
    const auto* f = wire::findField(request_.fields, key);
    if (!f)
        return {};
    if (const auto* s = std::get_if<std::string>(&f->value))
        return *s;
    return {};
}

std::int32_t RequestContext::number(std::string_view key) const {
    const auto* f = wire::findField(request_.fields, key);
    if (!f)
        return 0;
    if (const auto* n = std::get_if<std::int32_t>(&f->value))
        return *n;
    return 0;
}

bool RequestContext::flag(std::string_view key) const {
    const auto* f = wire::findField(request_.fields, key);
    if (!f)
        return false;
    if (const auto* b = std::get_if<bool>(&f->value))
        return *b;
    return false;
}

bool RequestContext::has(std::string_view key) const {
    return wire::findField(request_.fields, key) != nullptr;
}

Database& RequestContext::db() { return store_.db(); }

bool RequestContext::hasRight(std::string_view code) {
    return session_ && server::hasRight(db(), session_->operatorRow, code);
}

} // namespace orvane::server
