// Previews: a data change group applied to one record, or to the record at a
// place in a record set, with nothing saved. The preview right depends on
// the record type, so the handlers check it themselves once they know it.
#include "charsets/unicode_record.h"
#include "dispatch/dispatcher.h"
#include "dispatch/request_context.h"
#include "preview/record_preview.h"
#include "protocol/octets.h"
#include "recordsets/record_set_catalogue.h"
#include "recordsets/record_set_members.h"
#include "recordsets/record_set_rights.h"
#include "register.h"
#include "rulerun/catalogue_facts.h"
#include "rulerun/compiled_group_cache.h"

#include <algorithm>
#include <memory>
#include <optional>

namespace orvane::server {

namespace {

using wire::Kind;
namespace status = wire::status;

// The preview's own statuses: "BC" says what became of the record, and any
// record, set, group or field order configuration named may be missing.
constexpr std::int32_t Disposed = 2;
constexpr std::int32_t Missing = 5;
constexpr std::int32_t DataChangeRules = 2;

bool mayDo(RequestContext& ctx, RecordSetAction action, int recordType) {
    const std::string_view right = recordSetRight(action, recordType);
    return !right.empty() && ctx.hasRight(right);
}

struct PreviewRun {
    std::shared_ptr<const CompiledGroup> group;
    PreviewSettings settings;
};

// The group ("ID") and field order configuration ("MFONAME") of the request;
// nothing, with status 5, when either is missing.
std::optional<PreviewRun> prepare(RequestContext& ctx, int recordType) {
    PreviewRun run{compiledGroups().get(ctx.db(), ctx.number("ID")), {}};
    if (!run.group || run.group->source.ruleType != DataChangeRules) {
        ctx.setStatus(Missing);
        return std::nullopt;
    }
    if (const std::string name = ctx.text("MFONAME"); !name.empty()) {
        auto patterns = fieldOrderPatterns(ctx.db(), name);
        if (!patterns) {
            ctx.setStatus(Missing);
            return std::nullopt;
        }
        run.settings.fieldOrder = std::move(*patterns);
    }
    run.settings.operatorRow = ctx.session()->operatorRow;
    run.settings.mayDelete = mayDo(ctx, RecordSetAction::DeleteRecords, recordType);
    return run;
}

// "BC" (with status 2) when the preview has a disposition, then "BR" and "AR".
void answerRecords(RequestContext& ctx, const RecordPreview& preview) {
    if (preview.code != 0) {
        ctx.setStatus(Disposed);
        ctx.reply("BC", preview.code);
    }
    // Shown, not saved: a MARC-8 record travels in Unicode so its diacritics read.
    ctx.reply("BR", wire::octetsToText(unicodeRecord(preview.before)));
    ctx.reply("AR", wire::octetsToText(unicodeRecord(preview.after)));
}

void answerMessages(RequestContext& ctx, const RecordPreview& preview) {
    for (const std::string& message : preview.messages)
        ctx.reply("MG", message);
}

void previewOne(RequestContext& ctx) {
    const int recordType = ctx.number("RT");
    if (recordSetRight(RecordSetAction::Preview, recordType).empty()) {
        ctx.setStatus(status::InvalidValue);
        return;
    }
    if (!mayDo(ctx, RecordSetAction::Preview, recordType)) {
        ctx.setStatus(status::NotAuthorized);
        return;
    }
    const auto run = prepare(ctx, recordType);
    if (!run)
        return;
    const auto record = loadCatalogueRecord(ctx.db(), recordType, ctx.number("RID"));
    if (!record) {
        ctx.setStatus(Missing);
        return;
    }
    const RecordPreview preview = previewRecord(ctx.db(), *run->group, *record, run->settings);
    answerRecords(ctx, preview);
    answerMessages(ctx, preview);
}

// "IN" is the place (from 1) of the record previewed last, 0 before the
// first; the record previewed is the one "NP" places on, kept within the set.
void previewInSet(RequestContext& ctx) {
    const auto set = RecordSetCatalogue(ctx.db()).find(ctx.number("RSID"));
    if (!set) {
        ctx.setStatus(Missing);
        return;
    }
    if (!mayDo(ctx, RecordSetAction::Preview, set->recordType)) {
        ctx.setStatus(status::NotAuthorized);
        return;
    }
    const auto run = prepare(ctx, set->recordType);
    if (!run)
        return;
    if (set->recordCount <= 0) {
        ctx.setStatus(Disposed);
        ctx.reply("BC", preview_code::EmptySet);
        ctx.reply("IN", 0);
        ctx.reply("RSC", 0);
        return;
    }
    const std::int64_t place = std::clamp<std::int64_t>(
        static_cast<std::int64_t>(ctx.number("IN")) + ctx.number("NP"), 1, set->recordCount);
    const auto recordId = RecordSetMembers(ctx.db()).at(set->id, place, set->recordCount);
    const auto record =
        recordId ? loadCatalogueRecord(ctx.db(), set->recordType, *recordId) : std::nullopt;
    if (!record) {
        ctx.setStatus(Missing);
        return;
    }
    const RecordPreview preview = previewRecord(ctx.db(), *run->group, *record, run->settings);
    answerRecords(ctx, preview);
    ctx.reply("RID", *recordId);
    ctx.reply("IN", static_cast<std::int32_t>(place));
    ctx.reply("RSC", set->recordCount);
    answerMessages(ctx, preview);
}

} // namespace

void registerPreviewHandlers(Dispatcher& dispatcher) {
    dispatcher.add({"PREVIEW_RECORD",
                    {},
                    {{"RID", Kind::Number, true},
                     {"RT", Kind::Number, true},
                     {"ID", Kind::Number, true},
                     {"MFONAME", Kind::Text},
                     {"OI", Kind::Text}},
                    previewOne});
    dispatcher.add({"PREVIEW_RECORD_SET",
                    {},
                    {{"RSID", Kind::Number, true},
                     {"ID", Kind::Number, true},
                     {"IN", Kind::Number, true},
                     {"NP", Kind::Number, true},
                     {"MFONAME", Kind::Text},
                     {"OI", Kind::Text}},
                    previewInSet});
}

} // namespace orvane::server
