// Record sets: listing, creating, copying, renaming and deleting them, and
// adding, reading and removing their record ids. Each right depends on the
// set's record type, so the handlers check it themselves once they know it.
#include "dispatch/dispatcher.h"
#include "dispatch/request_context.h"
#include "dispatch/text_limits.h"
#include "jobs/job_usage.h"
#include "protocol/status.h"
#include "recordsets/record_set_catalogue.h"
#include "recordsets/record_set_members.h"
#include "recordsets/record_set_rights.h"
#include "register.h"

#include <charconv>
#include <optional>
#include <vector>

namespace orvane::server {

namespace {

using wire::Kind;
namespace status = wire::status;

const std::string& caller(const RequestContext& ctx) { return ctx.session()->operatorId; }

bool mayDo(RequestContext& ctx, RecordSetAction action, int recordType) {
    const std::string_view right = recordSetRight(action, recordType);
    return !right.empty() && ctx.hasRight(right);
}

// The set named by "RSID" when it exists and the operator may act on it;
// otherwise the status is set and there is none.
std::optional<RecordSetRow> setFor(RequestContext& ctx, RecordSetAction action,
                                   std::int32_t missingStatus = status::NotFound) {
    auto set = RecordSetCatalogue(ctx.db()).find(ctx.number("RSID"));
    if (!set) {
        ctx.setStatus(missingStatus);
        return std::nullopt;
    }
    if (!mayDo(ctx, action, set->recordType)) {
        ctx.setStatus(status::NotAuthorized);
        return std::nullopt;
    }
    return set;
}

// Any record set right of any type lists every set: one who may only fill
// or change sets must be able to pick one, and what each set allows is
// checked on the request that acts on it. An operator with none is refused.
bool holdsAnyRecordSetRight(RequestContext& ctx) {
    for (const RecordSetAction action : {RecordSetAction::View, RecordSetAction::Add,
                                         RecordSetAction::Update, RecordSetAction::Delete})
        for (int type = 1; type <= 3; ++type)
            if (mayDo(ctx, action, type))
                return true;
    return false;
}

void listSets(RequestContext& ctx) {
    if (!holdsAnyRecordSetRight(ctx)) {
        ctx.setStatus(status::NotAuthorized);
        return;
    }
    for (const RecordSetRow& set : RecordSetCatalogue(ctx.db()).list()) {
        ctx.reply("RSID", set.id);
        ctx.reply("RSCO", set.createdBy);
        ctx.reply("RSD", set.description);
        ctx.reply("RSN", set.name);
        ctx.reply("RSC", set.recordCount);
        ctx.reply("RST", set.setType);
        ctx.reply("RT", set.recordType);
        ctx.reply("RSUD", set.updatedAt);
        ctx.reply("RSUO", set.updatedBy);
    }
}

void answerChange(RequestContext& ctx, const RecordSetChange& change) {
    ctx.setStatus(change.status);
    if (change.status == status::Ok)
        ctx.reply("RSID", change.id);
}

void addSet(RequestContext& ctx) {
    const int recordType = ctx.number("RT");
    if (recordSetRight(RecordSetAction::Add, recordType).empty()) {
        ctx.setStatus(status::InvalidValue);
        return;
    }
    if (!mayDo(ctx, RecordSetAction::Add, recordType)) {
        ctx.setStatus(status::NotAuthorized);
        return;
    }
    const int setType = ctx.has("RST") ? ctx.number("RST") : 1;
    answerChange(ctx, RecordSetCatalogue(ctx.db()).add(ctx.text("RSN"), setType, recordType,
                                                       caller(ctx)));
}

// A copy is a new set of the source's kind, so it takes the add right.
void copySet(RequestContext& ctx) {
    if (!setFor(ctx, RecordSetAction::Add))
        return;
    answerChange(ctx, RecordSetCatalogue(ctx.db()).copy(ctx.number("RSID"), ctx.text("RSN"),
                                                        ctx.text("RSD"), caller(ctx)));
}

void updateSet(RequestContext& ctx) {
    if (!setFor(ctx, RecordSetAction::Update))
        return;
    ctx.setStatus(RecordSetCatalogue(ctx.db())
                      .update(ctx.number("RSID"), ctx.text("RSN"), ctx.text("RSD"), caller(ctx))
                      .status);
}

void deleteSet(RequestContext& ctx) {
    const auto set = setFor(ctx, RecordSetAction::Delete);
    if (!set)
        return;
    if (!unfinishedJobsUsingRecordSet(ctx.db(), set->id).empty()) {
        ctx.setStatus(status::InUse);
        return;
    }
    if (!RecordSetCatalogue(ctx.db()).remove(set->id))
        ctx.setStatus(status::NotFound);
}

// The update right changes any set of its kind; the add right alone fills
// only the sets the operator made, so that a set just created can be filled.
bool mayFill(RequestContext& ctx, const RecordSetRow& set) {
    return mayDo(ctx, RecordSetAction::Update, set.recordType) ||
           (mayDo(ctx, RecordSetAction::Add, set.recordType) && set.createdBy == caller(ctx));
}

void addToSet(RequestContext& ctx) {
    const auto set = RecordSetCatalogue(ctx.db()).find(ctx.number("RSID"));
    if (!set) {
        ctx.setStatus(status::NotFound);
        return;
    }
    if (!mayFill(ctx, *set)) {
        ctx.setStatus(status::NotAuthorized);
        return;
    }
    std::vector<std::int32_t> ids;
    for (const wire::Field& field : ctx.request().fields) {
        if (field.key != "RID")
            continue;
        const auto* id = std::get_if<std::int32_t>(&field.value);
        if (!id) {
            ctx.setStatus(status::InvalidValue);
            return;
        }
        ids.push_back(*id);
    }
    for (const std::int32_t missing :
         RecordSetMembers(ctx.db()).add(set->id, set->recordType, ids, caller(ctx)))
        ctx.reply("RID", missing);
}

std::optional<std::int32_t> chunkNumber(const std::string& text) {
    std::int32_t number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size() || number < 1)
        return std::nullopt;
    return number;
}

// The ids go as text in chunks; "CB" answers the next chunk's number, 0
// after the last.
void readSet(RequestContext& ctx) {
    const auto set = setFor(ctx, RecordSetAction::View);
    if (!set)
        return;
    const auto number = chunkNumber(ctx.text("CB"));
    if (!number || ctx.text("IDYN") != "Y") {
        ctx.setStatus(status::InvalidValue);
        return;
    }
    const RecordSetChunk chunk = RecordSetMembers(ctx.db()).chunk(set->id, *number);
    ctx.reply("RIDC", chunk.ids);
    ctx.reply("CB", chunk.next);
}

// Status 5 for a set that does not exist, as the preview reads it.
void removeFromSet(RequestContext& ctx) {
    constexpr std::int32_t NoSuchSet = 5;
    const auto set = setFor(ctx, RecordSetAction::Update, NoSuchSet);
    if (!set)
        return;
    if (!RecordSetMembers(ctx.db()).remove(set->id, ctx.number("RID"), caller(ctx)))
        ctx.setStatus(status::NotFound);
}

} // namespace

void registerRecordSetHandlers(Dispatcher& dispatcher) {
    dispatcher.add({"GET_RECORD_SETS", {}, {{"OI", Kind::Text}}, listSets});
    dispatcher.add({"ADD_RECORD_SET",
                    {},
                    {{"RSN", Kind::Text, true, text_limits::Name},
                     {"RST", Kind::Number},
                     {"RT", Kind::Number, true},
                     {"OI", Kind::Text}},
                    addSet});
    dispatcher.add({"COPY_RECORD_SET",
                    {},
                    {{"RSID", Kind::Number, true},
                     {"RSN", Kind::Text, true, text_limits::Name},
                     {"RSD", Kind::Text, false, text_limits::Description},
                     {"OI", Kind::Text}},
                    copySet});
    dispatcher.add({"UPDATE_RECORD_SET",
                    {},
                    {{"RSID", Kind::Number, true},
                     {"RSN", Kind::Text, true, text_limits::Name},
                     {"RSD", Kind::Text, false, text_limits::Description},
                     {"OI", Kind::Text}},
                    updateSet});
    dispatcher.add({"DELETE_RECORD_SET",
                    {},
                    {{"RSID", Kind::Number, true}, {"OI", Kind::Text}},
                    deleteSet});
    dispatcher.add({"ADD_TO_RECORD_SET",
                    {},
                    {{"OI", Kind::Text}, {"RSID", Kind::Number, true}, {"RID", Kind::Number}},
                    addToSet});
    dispatcher.add({"GET_RECORD_SET",
                    {},
                    {{"RSID", Kind::Number, true},
                     {"OI", Kind::Text},
                     {"IDYN", Kind::Text, false, text_limits::Code},
                     {"CB", Kind::Text, true, text_limits::Code}},
                    readSet});
    dispatcher.add({"DELETE_RECORD_FROM_RECORD_SET",
                    {},
                    {{"RID", Kind::Number, true}, {"RSID", Kind::Number, true}, {"OI", Kind::Text}},
                    removeFromSet});
}

} // namespace orvane::server
