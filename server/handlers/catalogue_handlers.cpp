// CATALOGUE_SEARCH: the record search component's look-up of a key in one
// of the catalogue's indexes.
#include "catalogue/catalogue_search.h"
#include "dispatch/dispatcher.h"
#include "dispatch/request_context.h"
#include "protocol/status.h"
#include "register.h"

namespace orvane::server {

namespace {

using wire::Kind;

// Searching a kind of record needs the right to look at it: the authority
// view right for authority records, the record set view right of the kind
// for the others.
std::string_view rightToSearch(RecordKind kind) {
    switch (kind) {
    case RecordKind::Authority:
        return "AV";
    case RecordKind::Holdings:
        return "RSMV";
    case RecordKind::Bibliographic:
        break;
    }
    return "RSBV";
}

// "RC" is the kind of the index searched (1, 2, 3); 0 with status 8 when
// the search could not be made (unknown index, kind not the index's, nothing
// searchable in the key). Then one "RID" per record found, ascending.
void search(RequestContext& ctx) {
    SearchQuery query;
    query.indexCode = ctx.text("IX");
    query.key = ctx.text("KEY");
    if (ctx.number("RT") != 0) {
        query.kind = recordKindFromNumber(ctx.number("RT"));
        if (!query.kind) {
            ctx.setStatus(wire::status::InvalidValue);
            ctx.reply("RC", 0);
            return;
        }
    }
    query.truncate = ctx.flag("TR");
    query.maxHits = ctx.number("MH") > 0 ? static_cast<std::size_t>(ctx.number("MH")) : 0;

    const SearchResult plan = planSearch(query);
    if (plan.failure != SearchFailure::None) {
        ctx.setStatus(wire::status::InvalidValue);
        ctx.reply("RC", 0);
        return;
    }
    if (!ctx.hasRight(rightToSearch(plan.kind))) {
        ctx.setStatus(wire::status::NotAuthorized);
        ctx.reply("RC", 0);
        return;
    }
    const SearchResult found = searchCatalogue(ctx.db(), query);
    ctx.reply("RC", toNumber(found.kind));
    for (const std::int32_t id : found.ids)
        ctx.reply("RID", id);
}

} // namespace

void registerCatalogueHandlers(Dispatcher& dispatcher) {
    dispatcher.add({.code = "CATALOGUE_SEARCH",
                    .right = {},
                    .fields = {{"IX", Kind::Text, true},
                               {"KEY", Kind::Text, true},
                               {"RT", Kind::Number},
                               {"TR", Kind::Bool},
                               {"MH", Kind::Number},
                               {"OI", Kind::Text}},
                    .run = search});
}

} // namespace orvane::server
