#include "authority_matcher.h"

#include "catalogue/index_codes.h"
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

// A data field's tag (010 to 999); anything else falls back to 035.
std::string tagOrDefault(std::string tag) {
    const bool dataTag = tag.size() == 3 && std::all_of(tag.begin(), tag.end(), [](char c) {
                             return c >= '0' && c <= '9';
                         }) && tag >= "010";
    return dataTag ? tag : std::string("035");
}

} // namespace

std::vector<std::string> headingKeys(const marc::RecordView& view) {
    marc::Record headingOnly(marc::Leader::fromText(view.leader()).value_or(marc::Leader{}));
    for (const marc::FieldView f : view)
        if (f.tag().size() == 3 && f.tag()[0] == '1')
            headingOnly.appendField(marc::Field::fromView(f));
    std::string octets;
    marc::appendIso2709(headingOnly, octets);
    const marc::ParseResult parsed = marc::parseRecord(octets);
    std::vector<std::string> keys;
    if (!parsed.record)
        return keys;
    IndexKeys index;
    for (const IndexEntry& e : index.of(*parsed.record, RecordKind::Authority))
        if (e.code == "AH")
            keys.push_back(e.key);
    return keys;
}

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
                     "code = ?1 AND key = ?2 ORDER BY record_id"))),
      existing_(std::make_unique<Statement>(db.prepare(
          "SELECT marc FROM catalogue_records WHERE record_type = 3 AND record_id = ?1"))) {
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
    // By heading: the incoming 1XX, and only records whose own 1XX has that
    // key (the index also holds see references).
    const bool byHeading = code_ == "AH";
    std::vector<std::string> searched;
    if (byHeading) {
        searched = headingKeys(incoming);
    } else {
        IndexKeys keys;
        for (const IndexEntry& entry : keys.of(incoming, RecordKind::Authority))
            if (entry.code == code_)
                searched.push_back(entry.key);
        // By control number, the incoming record's own "(003)001" too: the
        // catalogue keeps it in an 035 of the record it loaded or merged.
        const auto number = incoming.findField("001");
        const auto source = incoming.findField("003");
        if (code_ == "A35A" && number && !number->value().empty()) {
            std::string key;
            if (source && !source->value().empty()) {
                key.push_back('(');
                key.append(source->value());
                key.push_back(')');
            }
            key.append(number->value());
            std::string normalised = normaliseKey(KeyForm::ControlNumber, key);
            if (std::find(searched.begin(), searched.end(), normalised) == searched.end())
                searched.push_back(std::move(normalised));
        }
    }
    for (const std::string& key : searched) {
        lookup_->reset();
        lookup_->bind(1, code_).bind(2, key);
        while (lookup_->step())
            result.ids.push_back(lookup_->int32(0));
    }
    lookup_->reset();
    if (byHeading) {
        std::erase_if(result.ids, [&](std::int32_t id) {
            existing_->reset();
            existing_->bind(1, id);
            if (!existing_->step())
                return true;
            const std::string octets = existing_->blob(0);
            existing_->reset();
            const marc::ParseResult parsed = marc::parseRecord(octets);
            if (!parsed.record)
                return true;
            const auto own = headingKeys(*parsed.record);
            return std::none_of(own.begin(), own.end(), [&](const std::string& k) {
                return std::find(searched.begin(), searched.end(), k) != searched.end();
            });
        });
    }
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
    // A field of its own, after the record's other fields of the tag: a $9
    // the agency's record brought along is not taken for a matched id.
    marc::Record record = marc::Record::fromView(incoming);
    marc::Field& tagged = record.insertField(marc::Field::data(matchTag_, ' ', ' '));
    for (const std::int32_t id : result.ids)
        tagged.addSubfield('9', std::to_string(id));
    if (auto why = marc::appendIso2709(record, result.record)) {
        result.kind = MatchKind::Reject;
        result.reason = *why;
        result.record.assign(incoming.bytes());
    }
    return result;
}

namespace {

bool isId(std::string_view value) {
    std::int32_t id = 0;
    const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), id);
    return ec == std::errc() && end == value.data() + value.size() && id > 0;
}

// A field a match wrote: of the tag, with ids in $9 and nothing else.
template <typename Field> bool holdsIdsAlone(const Field& f, std::string_view matchTag) {
    if (f.tag() != matchTag || f.isControl())
        return false;
    bool any = false;
    for (const auto& s : f.subfields()) {
        if (s.code != '9' || !isId(s.value))
            return false;
        any = true;
    }
    return any;
}

} // namespace

std::vector<std::int32_t> matchedIds(const marc::RecordView& record, std::string_view matchTag) {
    std::vector<std::int32_t> ids;
    // The last such field is the match's own: it goes after the record's.
    for (const marc::FieldView f : record) {
        if (!holdsIdsAlone(f, matchTag))
            continue;
        ids.clear();
        for (const marc::SubfieldView& s : f.subfields()) {
            std::int32_t id = 0;
            std::from_chars(s.value.data(), s.value.data() + s.value.size(), id);
            ids.push_back(id);
        }
    }
    return ids;
}

std::string withoutMatchedIds(const marc::RecordView& view, std::string_view matchTag) {
    marc::Record record = marc::Record::fromView(view);
    auto& fields = record.fields();
    const auto last = std::find_if(fields.rbegin(), fields.rend(), [&](const marc::Field& f) {
        return holdsIdsAlone(f, matchTag);
    });
    if (last == fields.rend())
        return std::string(view.bytes());
    fields.erase(std::next(last).base());
    std::string out;
    marc::appendIso2709(record, out);
    return out;
}

} // namespace orvane::server::authload
