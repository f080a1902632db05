// Reference data any logged-in operator may read: installed packages,
// owning libraries, field order configurations, duplicate detection
// profiles and the rule document header.
#include "dispatch/dispatcher.h"
#include "dispatch/request_context.h"
#include "dispatch/text_limits.h"
#include "register.h"
#include "store/database.h"

#include <cstdint>

namespace orvane::server {

namespace {

std::int32_t idColumn(const Statement& st, int column) {
    return static_cast<std::int32_t>(st.int64(column));
}

void packageCheck(RequestContext& ctx) {
    auto st = ctx.db().prepare("SELECT 1 FROM packages WHERE name = ?1");
    st.bind(1, ctx.text("PKGNM"));
    ctx.reply("PKGINST", st.step());
}

void owningLibraries(RequestContext& ctx) {
    auto st = ctx.db().prepare("SELECT id, name FROM owning_libraries ORDER BY name, id");
    while (st.step()) {
        ctx.reply("LBI", idColumn(st, 0));
        ctx.reply("LBN", st.text(1));
    }
}

void fieldOrderConfigs(RequestContext& ctx) {
    auto st = ctx.db().prepare("SELECT id, name FROM field_order_configs ORDER BY name, id");
    while (st.step()) {
        ctx.reply("MFOCID", idColumn(st, 0));
        ctx.reply("MFONAME", st.text(1));
    }
}

void dupeProfiles(RequestContext& ctx) {
    auto st = ctx.db().prepare("SELECT id, code, name FROM dupe_profiles ORDER BY name, id");
    while (st.step()) {
        ctx.reply("DID", idColumn(st, 0));
        ctx.reply("DCd", st.text(1));
        ctx.reply("DNm", st.text(2));
    }
}

void ruleDocHeader(RequestContext& ctx) {
    auto st = ctx.db().prepare("SELECT value FROM settings WHERE key = 'rule_doc_header'");
    ctx.reply("HT", st.step() ? st.text(0) : std::string());
}

} // namespace

void registerReferenceHandlers(Dispatcher& dispatcher) {
    dispatcher.add({"PKGCHK", {}, {{"PKGNM", wire::Kind::Text, true, text_limits::Name}}, packageCheck});
    dispatcher.add({"OWNINGLIBRARIES", {}, {}, owningLibraries});
    dispatcher.add({"GETMARCFIELDORDER", {}, {}, fieldOrderConfigs});
    dispatcher.add({"LstCatDp", {}, {}, dupeProfiles});
    dispatcher.add({"GET_RULE_DOC_HEADERS", {}, {}, ruleDocHeader});
}

} // namespace orvane::server
