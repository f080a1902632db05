// Rule documents and the rule set groups that link them, per rule type.
// Every request checks the right of its rule type (scan, data change or
// authority loading) as the client's security profile does.
#include "dispatch/dispatcher.h"
#include "dispatch/request_context.h"
#include "dispatch/text_limits.h"
#include "jobs/job_usage.h"
#include "register.h"
#include "rulesets/rule_document_store.h"
#include "rulesets/rule_rights.h"
#include "rulesets/rule_set_store.h"
#include "store/database.h"

#include <algorithm>
#include <optional>

namespace orvane::server {

namespace {

using wire::Kind;

std::int32_t wireId(std::int64_t id) { return static_cast<std::int32_t>(id); }

// False, with the status set, when the rule type is unknown (8) or the
// operator lacks its right (6).
bool mayAct(RequestContext& ctx, std::int64_t ruleType, RuleAction action) {
    if (!isRuleType(ruleType)) {
        ctx.setStatus(wire::status::InvalidValue);
        return false;
    }
    if (!ctx.hasRight(ruleRight(ruleType, action))) {
        ctx.setStatus(wire::status::NotAuthorized);
        return false;
    }
    return true;
}

// The stored type of the object the request names, when the operator may
// act on it; none, with the status set, otherwise (7 when it is unknown).
std::optional<std::int64_t> storedTypeFor(RequestContext& ctx, std::optional<std::int64_t> type,
                                          RuleAction action) {
    if (!type) {
        ctx.setStatus(wire::status::NotFound);
        return std::nullopt;
    }
    return mayAct(ctx, *type, action) ? type : std::nullopt;
}

void replyAuthorship(RequestContext& ctx, const Authorship& who) {
    ctx.reply("CO", who.createdBy);
    ctx.reply("UO", who.updatedBy);
    ctx.reply("UD", who.updateDate);
}

// Status 2 with the names of what still uses the object.
void replyInUse(RequestContext& ctx, const std::vector<std::string>& names) {
    ctx.setStatus(wire::status::InUse);
    for (const auto& name : names)
        ctx.reply("NM", name);
}

std::vector<std::string> allTexts(const RequestContext& ctx, std::string_view key) {
    std::vector<std::string> texts;
    for (const auto& field : ctx.request().fields)
        if (const auto* text = std::get_if<std::string>(&field.value); text && field.key == key)
            texts.push_back(*text);
    return texts;
}

std::optional<std::int64_t> optionalId(const RequestContext& ctx) {
    return ctx.has("ID") ? std::optional<std::int64_t>(ctx.number("ID")) : std::nullopt;
}

// A save names a stored object by a positive "ID", or sends none for a new
// one; any other id is refused rather than taken as "new".
bool idIsUsable(RequestContext& ctx) {
    if (!ctx.has("ID") || ctx.number("ID") > 0)
        return true;
    ctx.setStatus(wire::status::InvalidValue);
    return false;
}

void getRuleDocuments(RequestContext& ctx) {
    const std::int64_t type = ctx.number("RT");
    if (!mayAct(ctx, type, RuleAction::View))
        return;
    for (const auto& doc : listRuleDocuments(ctx.db(), type)) {
        ctx.reply("ID", wireId(doc.id));
        ctx.reply("NM", doc.name);
        ctx.reply("DSC", doc.description);
        replyAuthorship(ctx, doc.authorship);
        ctx.reply("DOC", doc.text);
    }
}

void saveRuleDocumentRequest(RequestContext& ctx) {
    if (!idIsUsable(ctx))
        return;
    RuleDocumentChange change{optionalId(ctx), ctx.number("RT"), ctx.text("NM"), ctx.text("DSC"),
                              ctx.text("DOC"), allTexts(ctx, "PN"), ctx.session()->operatorId};
    if (!mayAct(ctx, change.ruleType, change.id ? RuleAction::Update : RuleAction::Add))
        return;
    Transaction tx(ctx.db());
    const SaveOutcome outcome = saveRuleDocument(ctx.db(), change);
    ctx.setStatus(outcome.status);
    if (outcome.status != wire::status::Ok)
        return;
    tx.commit();
    ctx.reply("ID", wireId(outcome.id));
}

void deleteRuleDocumentRequest(RequestContext& ctx) {
    const std::int64_t id = ctx.number("ID");
    if (!storedTypeFor(ctx, ruleDocumentType(ctx.db(), id), RuleAction::Delete))
        return;
    Transaction tx(ctx.db());
    if (const auto groups = groupsLinkingDocument(ctx.db(), id); !groups.empty())
        return replyInUse(ctx, groups);
    deleteRuleDocument(ctx.db(), id);
    tx.commit();
}

void getRuleSets(RequestContext& ctx) {
    const std::int64_t type = ctx.number("RT");
    if (!mayAct(ctx, type, RuleAction::View))
        return;
    for (const auto& group : listRuleSets(ctx.db(), type)) {
        ctx.reply("ID", wireId(group.id));
        ctx.reply("NM", group.name);
        ctx.reply("DSC", group.description);
        replyAuthorship(ctx, group.authorship);
        ctx.reply("PN", group.requiredParameters);
    }
}

void getRuleDocumentsForSet(RequestContext& ctx) {
    const std::int64_t id = ctx.number("RSID");
    if (!storedTypeFor(ctx, ruleSetType(ctx.db(), id), RuleAction::View))
        return;
    for (const auto& link : ruleSetLinks(ctx.db(), id)) {
        ctx.reply("ID", wireId(link.document));
        ctx.reply("RO", link.order);
    }
}

void getRuleSetParameters(RequestContext& ctx) {
    const std::int64_t id = ctx.number("ID");
    if (!storedTypeFor(ctx, ruleSetType(ctx.db(), id), RuleAction::View))
        return;
    for (const auto& [name, value] : ruleSetParameters(ctx.db(), id)) {
        ctx.reply("PN", name);
        ctx.reply("PV", value);
    }
}

// "RDID" opens a link and the "RO" after it gives its order; "PN" opens a
// parameter and the "PV" after it gives its value. Links are kept in the
// order their "RO" numbers give, ties as sent.
// False when a repeated field is of the wrong kind (the dispatcher checks
// only the first of each key).
bool readContents(const RequestContext& ctx, RuleSetChange& change) {
    struct Numbered {
        std::int64_t document;
        std::int32_t order;
    };
    std::vector<Numbered> links;
    for (const auto& field : ctx.request().fields) {
        const auto* number = std::get_if<std::int32_t>(&field.value);
        const auto* text = std::get_if<std::string>(&field.value);
        const bool numeric = field.key == "RDID" || field.key == "RO";
        const bool textual = field.key == "PN" || field.key == "PV";
        if ((numeric && !number) || (textual && !text))
            return false;
        if (field.key == "RDID")
            links.push_back({*number, static_cast<std::int32_t>(links.size())});
        else if (field.key == "RO" && !links.empty())
            links.back().order = *number;
        else if (field.key == "PN")
            change.parameters.emplace_back(*text, std::string());
        else if (field.key == "PV" && !change.parameters.empty())
            change.parameters.back().second = *text;
    }
    std::stable_sort(links.begin(), links.end(),
                     [](const Numbered& a, const Numbered& b) { return a.order < b.order; });
    for (const auto& link : links)
        change.documents.push_back(link.document);
    return true;
}

void saveRuleSetRequest(RequestContext& ctx) {
    if (!idIsUsable(ctx))
        return;
    RuleSetChange change{optionalId(ctx), ctx.number("RT"), ctx.text("NM"), ctx.text("DSC"),
                         {}, {}, ctx.session()->operatorId};
    if (!mayAct(ctx, change.ruleType, change.id ? RuleAction::Update : RuleAction::Add))
        return;
    if (!readContents(ctx, change))
        return ctx.setStatus(wire::status::InvalidValue);
    Transaction tx(ctx.db());
    const SaveOutcome outcome = saveRuleSet(ctx.db(), change);
    ctx.setStatus(outcome.status);
    if (outcome.status != wire::status::Ok)
        return;
    tx.commit();
    ctx.reply("ID", wireId(outcome.id));
}

void deleteRuleSetRequest(RequestContext& ctx) {
    const std::int64_t id = ctx.number("ID");
    if (!storedTypeFor(ctx, ruleSetType(ctx.db(), id), RuleAction::Delete))
        return;
    Transaction tx(ctx.db());
    if (const auto jobs = unfinishedJobsUsingRuleSet(ctx.db(), id); !jobs.empty())
        return replyInUse(ctx, jobs);
    deleteRuleSet(ctx.db(), id);
    tx.commit();
}

FieldRule operatorField() { return {"OI", Kind::Text, false}; }

} // namespace

void registerRuleSetHandlers(Dispatcher& dispatcher) {
    const FieldRule type{"RT", Kind::Number, true};
    const FieldRule id{"ID", Kind::Number, true};
    const FieldRule optionalId{"ID", Kind::Number, false};
    const FieldRule name{"NM", Kind::Text, true, text_limits::Name};
    const FieldRule description{"DSC", Kind::Text, false, text_limits::Description};
    const FieldRule parameterName{"PN", Kind::Text, false, text_limits::ParameterName};
    // The rights depend on the rule type of the request or of the stored
    // object, so each handler checks its own.
    dispatcher.add({"GET_RULE_DOCUMENTS", {}, {type, operatorField()}, getRuleDocuments});
    dispatcher.add({"SAVE_RULE_DOCUMENT",
                    {},
                    {optionalId, type, name, description,
                     {"DOC", Kind::Text, false, text_limits::RuleText}, parameterName,
                     operatorField()},
                    saveRuleDocumentRequest});
    dispatcher.add({"DELETE_RULE_DOCUMENT", {}, {id, operatorField()}, deleteRuleDocumentRequest});
    dispatcher.add({"GET_RULE_SETS", {}, {type, operatorField()}, getRuleSets});
    dispatcher.add({"GET_RULE_DOCUMENTS_FOR_SET",
                    {},
                    {{"RSID", Kind::Number, true}, operatorField()},
                    getRuleDocumentsForSet});
    dispatcher.add({"GET_RULE_SET_PARAMETERS", {}, {id, operatorField()}, getRuleSetParameters});
    dispatcher.add({"SAVE_RULE_SET",
                    {},
                    {optionalId, type, name, description, {"RDID", Kind::Number, false},
                     {"RO", Kind::Number, false}, parameterName,
                     {"PV", Kind::Text, false, text_limits::ParameterValue}, operatorField()},
                    saveRuleSetRequest});
    dispatcher.add({"DELETE_RULE_SET", {}, {id, operatorField()}, deleteRuleSetRequest});
}

} // namespace orvane::server
