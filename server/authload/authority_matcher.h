#pragma once
// Matching an incoming authority record with the catalogue: the match
// configuration's documents run on it first as rules (ERROR rejects it,
// DELETE makes it a deletion notice), then the duplicate-detection profile
// gives its key (LCCN: 010 $a; CTRLNO: 035 $a; HEADING: the 1XX heading),
// and the authority records holding that key are its matches. Their ids are
// written into the record as $9 subfields of the match id tag, so the merge
// can read them back from the result file alone.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace engine {
class RuleGroup;
class GroupRunner;
} // namespace engine

namespace marc {
class RecordView;
}

namespace orvane::server {
class Database;
class Statement;
} // namespace orvane::server

namespace orvane::server::authload {

enum class MatchKind { Match, NoMatch, MultiMatch, Reject };

struct MatchResult {
    MatchKind kind = MatchKind::NoMatch;
    std::vector<std::int32_t> ids; // matched authority records
    std::string key;               // the key searched, as the index holds it
    bool deletion = false;         // a deletion notice
    std::string record;            // the incoming record, with the matched ids in $9
    std::string reason;            // why it was rejected
};

class AuthorityMatcher {
public:
    // `rules` may be null (no match documents). `matchTag` empty means 035.
    AuthorityMatcher(Database& db, std::string profile, std::string matchTag,
                     const engine::RuleGroup* rules);
    ~AuthorityMatcher();

    MatchResult match(const marc::RecordView& incoming);

    // The index code a profile searches ("LCCN", "A35A", "AH"); empty when
    // the profile does not fit authority records.
    static std::string_view indexCode(std::string_view profile);

private:
    Database& db_;
    std::string code_;
    std::string matchTag_;
    std::unique_ptr<engine::GroupRunner> runner_;
    std::unique_ptr<Statement> lookup_;
    std::unique_ptr<Statement> existing_;
};

// The heading index keys of a record's 1XX heading alone, without its see
// references (the index holds both).
std::vector<std::string> headingKeys(const marc::RecordView& record);

// The ids a match wrote: the $9 subfields of the last field of the match id
// tag that holds ids in $9 and nothing else (the field the match added).
std::vector<std::int32_t> matchedIds(const marc::RecordView& record, std::string_view matchTag);
// The record without that field, as it is saved into the catalogue; any
// other $9 stays.
std::string withoutMatchedIds(const marc::RecordView& record, std::string_view matchTag);

} // namespace orvane::server::authload
