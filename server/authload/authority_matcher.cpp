#include "authority_matcher.h"

#include "catalogue/index_keys.h"
#include "store/database.h"

#include "group_runner.h"

#include "marc/iso2709_writer.h"
#include "marc/record.h"
#include "marc/record_view.h"

#include <algorithm>
#include <charconv>

namespace orvane::server::authload {

namespace {

std::string tagOrDefault(std::string tag) {
    return tag.size() == 3 ? tag : std::string("035");
}

} // namespace

std::string_view AuthorityMatcher::indexCode(std::string_view profile) {
    if (profile == "LCCN")
        return "LCCN";
    if (profile == "CTRLNO")
        return "A35A";
    if (profile == "HEADING")
        return "AH";
    return {};
}

AuthorityMatcher::AuthorityMatcher(Database& db, std::string profile, std::string matchTag,
                                   const engine::RuleGroup* rules)
    : db_(db), code_(indexCode(profile)), matchTag_(tagOrDefault(std::move(matchTag))),
      lookup_(std::make_unique<Statement>(
          db.prepare("SELECT DISTINCT record_id FROM catalogue_index WHERE record_type = 3 AND "
                     "code = ?1 AND key = ?2 ORDER BY record_id"))) {
    if (rules)
        runner_ = std::make_unique<engine::GroupRunner>(*rules, engine::RunParameters{});
}

AuthorityMatcher::~AuthorityMatcher() = default;

MatchResult AuthorityMatcher::match(const marc::RecordView& incoming) {
    MatchResult result;
    if (runner_) {
        const engine::RecordOutcome outcome = runner_->apply(incoming, {});
        if (outcome.outcome == engine::Outcome::Error) {
            result.kind = MatchKind::Reject;
            result.reason = outcome.messages.empty() ? "ERROR" : outcome.messages.front();
            result.record.assign(incoming.bytes());
            return result;
        }
        result.deletion = outcome.outcome == engine::Outcome::Deleted;
    }
    IndexKeys keys;
    std::vector<std::string> searched;
    for (const IndexEntry& entry : keys.of(incoming, RecordKind::Authority))
        if (entry.code == code_)
            searched.push_back(entry.key);
    for (const std::string& key : searched) {
        lookup_->reset();
        lookup_->bind(1, code_).bind(2, key);
        while (lookup_->step())
            result.ids.push_back(lookup_->int32(0));
    }
    lookup_->reset();
    std::sort(result.ids.begin(), result.ids.end());
    result.ids.erase(std::unique(result.ids.begin(), result.ids.end()), result.ids.end());
    result.key = searched.empty() ? std::string() : searched.front();
    result.kind = result.ids.empty()      ? MatchKind::NoMatch
                  : result.ids.size() == 1 ? MatchKind::Match
                                           : MatchKind::MultiMatch;
    if (result.ids.empty()) {
        result.record.assign(incoming.bytes());
        return result;
    }
    marc::Record record = marc::Record::fromView(incoming);
    marc::Field* tagged = nullptr;
    for (marc::Field& f : record.fields())
        if (f.tag() == matchTag_ && !f.isControl())
            tagged = &f;
    if (!tagged)
        tagged = &record.insertField(marc::Field::data(matchTag_, ' ', ' '));
    for (const std::int32_t id : result.ids)
        tagged->addSubfield('9', std::to_string(id));
    if (auto why = marc::appendIso2709(record, result.record)) {
        result.kind = MatchKind::Reject;
        result.reason = *why;
        result.record.assign(incoming.bytes());
    }
    return result;
}

std::vector<std::int32_t> matchedIds(const marc::RecordView& record, std::string_view matchTag) {
    std::vector<std::int32_t> ids;
    for (const marc::FieldView f : record) {
        if (f.tag() != matchTag || f.isControl())
            continue;
        for (const marc::SubfieldView& s : f.subfields()) {
            std::int32_t id = 0;
            if (s.code == '9' &&
                std::from_chars(s.value.data(), s.value.data() + s.value.size(), id).ec ==
                    std::errc())
                ids.push_back(id);
        }
    }
    return ids;
}

std::string withoutMatchedIds(const marc::RecordView& view, std::string_view matchTag) {
    marc::Record record = marc::Record::fromView(view);
    for (marc::Field& f : record.fields())
        if (f.tag() == matchTag && !f.isControl())
            f.removeSubfields('9');
    std::erase_if(record.fields(), [&](const marc::Field& f) {
        return f.tag() == matchTag && !f.isControl() && f.subfields().empty();
    });
    std::string out;
    marc::appendIso2709(record, out);
    return out;
}

} // namespace orvane::server::authload
