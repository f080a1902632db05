#include "dispatcher.h"

#include "protocol/status.h"
#include "request_context.h"
#include "sessions.h"
#include "store/database.h"
#include "util/log.h"

#include <stdexcept>
#include <strings.h>

namespace orvane::server {

namespace {

Outcome refuse(int httpStatus, std::string error) {
    Outcome o;
    o.httpStatus = httpStatus;
    o.error = std::move(error);
    return o;
}

// A field the handler declares must have the declared kind; a required one must be there.
std::string checkFields(const Handler& handler, const wire::Request& request) {
    for (const auto& rule : handler.fields) {
        const auto* f = wire::findField(request.fields, rule.key);
        if (!f) {
            if (rule.required)
                return "field " + rule.key + " is required by " + handler.code;
            continue;
        }
        if (wire::kindOf(f->value) != rule.kind)
            return "field " + rule.key + " of " + handler.code + " must be " +
                   wire::kindName(rule.kind) + ", not " + wire::kindName(wire::kindOf(f->value));
    }
    return {};
}

// Whether every occurrence of each limited text field fits its limit.
bool textsFit(const Handler& handler, const wire::Request& request) {
    for (const auto& rule : handler.fields) {
        if (rule.maxOctets == 0)
            continue;
        for (const auto& field : request.fields)
            if (const auto* text = std::get_if<std::string>(&field.value);
                text && field.key == rule.key && text->size() > rule.maxOctets)
                return false;
    }
    return true;
}

bool sameOperator(const std::string& a, const std::string& b) {
    return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

} // namespace

Dispatcher::Dispatcher(Store& store, SessionTable& sessions, Log& log, DispatchPolicy policy)
    : store_(store), sessions_(sessions), log_(log), policy_(policy) {}

void Dispatcher::add(Handler handler) {
    auto code = handler.code;
    if (!handlers_.emplace(code, std::move(handler)).second)
        throw std::logic_error("two handlers for " + code);
}

bool Dispatcher::knows(std::string_view code) const { return handlers_.contains(code); }

std::vector<std::string> Dispatcher::codes() const {
    std::vector<std::string> out;
    for (const auto& [code, handler] : handlers_)
        out.push_back(code);
    return out;
}

const Handler* Dispatcher::handler(std::string_view code) const {
    const auto it = handlers_.find(code);
    return it == handlers_.end() ? nullptr : &it->second;
}

bool Dispatcher::knowsSession(const std::string& token) const {
    return sessions_.find(token).has_value();
}

Outcome Dispatcher::dispatch(const wire::Request& request, const std::string& token,
                             std::string_view peer) {
    auto it = handlers_.find(request.code);
    const bool needsSession = it == handlers_.end() || it->second.needsSession;

    std::optional<Session> session;
    if (needsSession) {
        if (token.empty())
            return refuse(401, "a session token is required; send LOGIN first");
        session = sessions_.find(token);
        if (!session)
            return refuse(401, "the session token is unknown or has expired; log in again");
    }

    Outcome outcome;
    if (it == handlers_.end()) {
        log_.line("unknown request code " + logQuoted(request.code) + " from " +
                  session->operatorId);
        outcome.answer.status = wire::status::UnknownRequest;
        return outcome;
    }
    const Handler& handler = it->second;
    if (auto error = checkFields(handler, request); !error.empty())
        return refuse(400, std::move(error));
    if (!textsFit(handler, request)) {
        outcome.answer.status = wire::status::InvalidValue;
        return outcome;
    }

    if (session) {
        if (const auto* oi = wire::findField(request.fields, "OI")) {
            const auto* id = std::get_if<std::string>(&oi->value);
            if (!id || !sameOperator(*id, session->operatorId)) {
                outcome.answer.status = wire::status::NotAuthorized;
                return outcome;
            }
        }
    }

    RequestContext context(request, outcome.answer, store_, sessions_, log_, session,
                           policy_.trustLocalLogin, peer, policy_.loginGuard);
    try {
        if (!handler.right.empty() && !context.hasRight(handler.right)) {
            outcome.answer.status = wire::status::NotAuthorized;
            return outcome;
        }
        handler.run(context);
    } catch (const std::exception& e) {
        log_.line(logQuoted(request.code) + " failed: " + e.what());
        outcome.answer = {};
        outcome.answer.status = wire::status::ServerError;
    }
    return outcome;
}

} // namespace orvane::server
