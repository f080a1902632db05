// LOGIN, OPEN, LOGOUT and CHANGE_PASSWORD: how an operator gets, confirms,
// ends and secures a session.
#include "auth/operators.h"
#include "auth/password.h"
#include "dispatch/dispatcher.h"
#include "dispatch/request_context.h"
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

// An unknown operator and a wrong password get the same answer, no fields,
// after the same work.
void login(RequestContext& ctx) {
    const auto account = findOperator(ctx.db(), ctx.text("OI"));
    bool accepted = false;
    if (!account)
        verifyAgainstDummy(ctx.text("PW"));
    else if (!ctx.has("PW") && ctx.trustsLocalLogin())
        accepted = true;
    else
        accepted = verifyPassword(account->passwordHash, ctx.text("PW"));

    if (!accepted) {
        // The id typed is not logged: it may be a password typed in the wrong box.
        ctx.log().line(account ? "LOGIN refused for operator " + account->id
                               : std::string("LOGIN refused for an unknown operator id"));
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
                    .fields = {{"OI", Kind::Text, true}, {"PW", Kind::Text}},
                    .run = login,
                    .needsSession = false});
    dispatcher.add(
        {.code = "OPEN", .right = {}, .fields = {{"AC", Kind::Number, true}}, .run = open});
    dispatcher.add({.code = "LOGOUT", .right = {}, .fields = {}, .run = logout});
    dispatcher.add({.code = "CHANGE_PASSWORD",
                    .right = {},
                    .fields = {{"PW", Kind::Text, true}, {"NPW", Kind::Text, true}},
                    .run = changePassword});
}

} // namespace orvane::server
