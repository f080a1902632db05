// LOGIN, OPEN, LOGOUT and CHANGE_PASSWORD: how an operator gets, confirms,
// ends and secures a session.
#include "auth/login_guard.h"
#include "auth/operators.h"
#include "auth/password.h"
#include "dispatch/dispatcher.h"
#include "dispatch/request_context.h"
#include "dispatch/text_limits.h"
#include "protocol/version.h"
#include "register.h"
#include "store/database.h"
#include "util/log.h"

namespace orvane::server {

namespace {

using wire::Kind;
namespace status = wire::status;

// The only application the client opens its channel for.
constexpr std::int32_t ClientApplication = 5;

std::string supportWebText(Database& db) {
    auto st = db.prepare("SELECT value FROM settings WHERE key = 'support_web_text'");
    return st.step() ? st.text(0) : std::string();
}

// Checks the password under the login guard: false, without hashing, when
// attempts for this id or from this address are being held back or too many
// hashes run already.
bool passwordAccepted(RequestContext& ctx, const std::optional<OperatorAccount>& account) {
    const std::string id = ctx.text("OI");
    LoginGuard* guard = ctx.loginGuard();
    if (!guard) {
        if (!account)
            verifyAgainstDummy(ctx.text("PW"));
        return account && verifyPassword(account->passwordHash, ctx.text("PW"));
    }
    const std::string from = ctx.peer().empty() ? std::string() : " from " + std::string(ctx.peer());
    if (guard->admit(id, ctx.peer()) == LoginGuard::Verdict::Throttled) {
        ctx.log().line("LOGIN held back" + from + " after repeated failures, for " +
                       std::to_string(guard->delayFor(id, ctx.peer()).count()) + " s more");
        return false;
    }
    const LoginGuard::HashTurn turn = guard->hashTurn();
    if (!turn) {
        ctx.log().line("LOGIN refused" + from + ": too many logins are being checked at once");
        return false;
    }
    bool accepted = false;
    if (!account)
        verifyAgainstDummy(ctx.text("PW"));
    else
        accepted = verifyPassword(account->passwordHash, ctx.text("PW"));
    if (accepted)
        guard->succeeded(id, ctx.peer());
    else
        guard->failed(id, ctx.peer());
    return accepted;
}

// An unknown operator and a wrong password get the same answer, no fields,
// after the same work.
void login(RequestContext& ctx) {
    const auto account = findOperator(ctx.db(), ctx.text("OI"));
    const bool accepted = (account && !ctx.has("PW") && ctx.trustsLocalLogin()) ||
                          passwordAccepted(ctx, account);

    if (!accepted) {
        // The id typed is not logged: it may be a password typed in the wrong box.
        const std::string from =
            ctx.peer().empty() ? std::string() : " from " + std::string(ctx.peer());
        ctx.log().line((account ? "LOGIN refused for operator " + account->id
                                : std::string("LOGIN refused for an unknown operator id")) +
                       from);
        ctx.setStatus(status::NotAuthorized);
        return;
    }
    const Session session = ctx.sessions().open(account->row, account->id);
    ctx.reply("TK", session.token);
    ctx.reply("PF", account->passwordFlag);
    ctx.reply("SW", supportWebText(ctx.db()));
    ctx.log().line("LOGIN " + account->id);
}

void open(RequestContext& ctx) {
    if (ctx.number("AC") != ClientApplication) {
        ctx.setStatus(status::InvalidValue);
        return;
    }
    ctx.reply("AC", ClientApplication);
    ctx.reply("PV", std::string(wire::ProtocolVersion));
}

void logout(RequestContext& ctx) {
    ctx.sessions().close(ctx.session()->token);
    ctx.log().line("LOGOUT " + ctx.session()->operatorId);
}

void changePassword(RequestContext& ctx) {
    const Session& session = *ctx.session();
    const auto account = findOperator(ctx.db(), session.operatorRow);
    if (!account || !verifyPassword(account->passwordHash, ctx.text("PW"))) {
        ctx.setStatus(status::NotAuthorized);
        return;
    }
    const std::string replacement = ctx.text("NPW");
    if (!isAcceptablePassword(replacement)) {
        ctx.setStatus(status::InvalidValue);
        return;
    }
    setPasswordHash(ctx.db(), account->row, hashPassword(replacement));
    // Whoever else holds a session of this operator must log in with the new password.
    ctx.sessions().closeOperator(account->row, session.token);
    ctx.log().line("password changed by operator " + account->id);
}

} // namespace

void registerSessionHandlers(Dispatcher& dispatcher) {
    // Tokens come from libsodium too; ready it before the first one.
    initialiseCrypto();
    dispatcher.add({.code = "LOGIN",
                    .right = {},
                    .fields = {{"OI", Kind::Text, true, text_limits::OperatorId},
                               {"PW", Kind::Text, false, text_limits::Password}},
                    .run = login,
                    .needsSession = false});
    dispatcher.add(
        {.code = "OPEN", .right = {}, .fields = {{"AC", Kind::Number, true}}, .run = open});
    dispatcher.add({.code = "LOGOUT", .right = {}, .fields = {}, .run = logout});
    dispatcher.add({.code = "CHANGE_PASSWORD",
                    .right = {},
                    .fields = {{"PW", Kind::Text, true, text_limits::Password},
                               {"NPW", Kind::Text, true, text_limits::Password}},
                    .run = changePassword});
}

} // namespace orvane::server
