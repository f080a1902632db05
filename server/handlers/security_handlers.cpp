// GET_VLM_SECURITY: the operator's security profile, which the client reads
// to decide what it offers.
#include "auth/operators.h"
#include "auth/rights.h"
#include "dispatch/dispatcher.h"
#include "dispatch/request_context.h"
#include "register.h"

#include <algorithm>

namespace orvane::server {

namespace {

using wire::Kind;

// Every right, held or not, in the fixed order the client reads them; then
// one record per assigned location, led by "LI". An operator who holds no
// right at all is not a Velumar operator: 6, and the client turns them away.
void security(RequestContext& ctx) {
    const std::int64_t row = ctx.session()->operatorRow;
    const auto held = rightsOf(ctx.db(), row);
    if (held.empty()) {
        ctx.setStatus(wire::status::NotAuthorized);
        return;
    }
    for (auto code : allRightCodes())
        ctx.reply(std::string(code), std::find(held.begin(), held.end(), code) != held.end());
    for (const auto& location : locationsOf(ctx.db(), row)) {
        ctx.reply("LI", static_cast<std::int32_t>(location.row));
        ctx.reply("LN", location.name);
    }
}

} // namespace

void registerSecurityHandlers(Dispatcher& dispatcher) {
    dispatcher.add({.code = "GET_VLM_SECURITY",
                    .right = {},
                    .fields = {{"OI", Kind::Text, true}},
                    .run = security});
}

} // namespace orvane::server
