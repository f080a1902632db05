// CATALOGUE_SEARCH: the record search component's look-up of a key in one
// of the catalogue's indexes. CATALOGUE_BRIEF: the short display of the
// records found, which its search window fetches a page at a time.
#include "catalogue/catalogue_brief.h"
#include "catalogue/catalogue_search.h"
#include "dispatch/dispatcher.h"
#include "dispatch/request_context.h"
#include "dispatch/text_limits.h"
#include "protocol/status.h"
#include "register.h"

#include <variant>
#include <vector>

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

// A page of a result list; the search window asks for far fewer.
constexpr std::size_t MostBriefIds = 1000;

// Per "RID" sent, in order: "RID", "TI" (title, heading or shelf place) and
// "DT"; both texts empty for an id that is no record of the kind.
void brief(RequestContext& ctx) {
    const auto kind = recordKindFromNumber(ctx.number("RT"));
    if (!kind) {
        ctx.setStatus(wire::status::InvalidValue);
        return;
    }
    if (!ctx.hasRight(rightToSearch(*kind))) {
        ctx.setStatus(wire::status::NotAuthorized);
        return;
    }
    std::vector<std::int32_t> ids;
    for (const wire::Field& field : ctx.request().fields) {
        if (field.key != "RID")
            continue;
        const auto* id = std::get_if<std::int32_t>(&field.value);
        if (!id) {
            ctx.setStatus(wire::status::InvalidValue);
            return;
        }
        ids.push_back(*id);
    }
    if (ids.empty() || ids.size() > MostBriefIds) {
        ctx.setStatus(wire::status::InvalidValue);
        return;
    }
    for (const BriefLine& line : briefLines(ctx.db(), *kind, ids)) {
        ctx.reply("RID", line.id);
        ctx.reply("TI", line.title);
        ctx.reply("DT", line.date);
    }
}

} // namespace

void registerCatalogueHandlers(Dispatcher& dispatcher) {
    dispatcher.add({.code = "CATALOGUE_SEARCH",
                    .right = {},
                    .fields = {{"IX", Kind::Text, true, text_limits::Code},
                               {"KEY", Kind::Text, true, text_limits::SearchKey},
                               {"RT", Kind::Number},
                               {"TR", Kind::Bool},
                               {"MH", Kind::Number},
                               {"OI", Kind::Text}},
                    .run = search});
    dispatcher.add({.code = "CATALOGUE_BRIEF",
                    .right = {},
                    .fields = {{"RT", Kind::Number, true}, {"RID", Kind::Number}, {"OI", Kind::Text}},
                    .run = brief});
}

} // namespace orvane::server
