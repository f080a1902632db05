#pragma once
// What a bulk load's records would each ask the catalogue, asked for many
// at once and kept while the load's transaction lasts: which record holds
// each control number ("(003)001", normalised), which ids above the new-id
// counter are free, and the counters themselves. The record writer keeps it
// in step with every record it writes in that transaction (whose write
// holds all of it against other writers); it is forgotten when the
// transaction ends. What it does not know, the writer asks the database.

#include "record_kind.h"
#include "store/database.h"

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orvane::server {

// A record as the catalogue holds it: its 003 and its octets.
struct HeldRecord {
    std::string source;
    std::string octets;
};

class BatchLookups {
public:
    explicit BatchLookups(Database& db);

    void forget();

    // The records holding each of `keys` (normalised control numbers), asked at once.
    void preload(RecordKind kind, std::vector<std::string> keys);
    // The lowest id holding `key`, or none; nullopt when not known here.
    std::optional<std::optional<std::int32_t>> holder(RecordKind kind, std::string_view key) const;

    // The records of these ids (a record's own 001, when a number), asked at once.
    void preloadRecords(RecordKind kind, std::vector<std::int64_t> ids);
    // The record of `id`, or none; nullopt when not known here.
    std::optional<std::optional<HeldRecord>> record(RecordKind kind, std::int64_t id) const;

    // Whether `id` is taken, the database asked only past a range of ids it
    // said were free.
    bool taken(RecordKind kind, std::int64_t id);

    std::optional<std::int64_t> counter(RecordKind kind) const;
    void setCounter(RecordKind kind, std::int64_t next) { counters_[kind] = next; }
    const std::map<RecordKind, std::int64_t>& counters() const { return counters_; }

    // A record written: a new row (`added`) or a replaced one, now with its
    // 003 `source` and `octets`, holding the control numbers `keys`.
    void written(RecordKind kind, std::int32_t id, bool added, std::string_view source,
                 std::string_view octets, const std::vector<std::string_view>& keys);

private:
    struct FreeIds {
        std::int64_t from = 0;
        std::int64_t until = 0; // not included
    };

    Database& db_;
    std::optional<Statement> holdersOf_; // Asked keys at a time
    std::optional<Statement> recordsOf_;  // Asked ids at a time
    Statement firstTaken_;
    std::map<RecordKind, std::map<std::string, std::optional<std::int32_t>, std::less<>>> holders_;
    std::map<RecordKind, std::map<std::int64_t, std::optional<HeldRecord>>> records_;
    std::map<RecordKind, FreeIds> free_;
    std::set<std::pair<RecordKind, std::int64_t>> added_;
    std::map<RecordKind, std::int64_t> counters_;
};

} // namespace orvane::server
