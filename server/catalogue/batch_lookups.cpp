#include "batch_lookups.h"

#include "index_codes.h"
#include "store/values_table.h"

#include <algorithm>
#include <limits>

namespace orvane::server {

namespace {

// Control numbers or ids asked in one statement (the last repeated to fill it).
constexpr int Asked = 200;

constexpr std::int64_t AboveEveryId = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;

// Each number looked up as one record's would be, by the index's key and in
// its order: a plan that stays an index look-up however the index grows
// after it was made (an IN list's plan, made while the index was small,
// read all of it each time).
std::string holdersSql() {
    std::string sql = valuesTable("key", 3, Asked);
    sql.append("SELECT v.key, (SELECT i.record_id FROM catalogue_index i WHERE i.record_type = ?1 "
               "AND i.code = ?2 AND i.key = v.key ORDER BY i.record_id LIMIT 1) FROM v");
    return sql;
}

std::string recordsSql() {
    std::string sql = valuesTable("id", 2, Asked);
    sql.append("SELECT r.record_id, r.control_source, r.marc FROM v JOIN catalogue_records r "
               "ON r.record_type = ?1 AND r.record_id = CAST(v.id AS BIGINT)");
    return sql;
}

// The answer kept for `key` of `kind`, if it was asked.
template <typename ByKind, typename Key>
auto heldAnswer(const ByKind& byKind, RecordKind kind, const Key& key)
    -> std::optional<typename ByKind::mapped_type::mapped_type> {
    const auto ofKind = byKind.find(kind);
    if (ofKind == byKind.end())
        return std::nullopt;
    const auto it = ofKind->second.find(key);
    if (it == ofKind->second.end())
        return std::nullopt;
    return it->second;
}

// Only the values not asked before, each once.
template <typename T, typename Known> void keepUnasked(std::vector<T>& values, const Known& known) {
    std::erase_if(values, [&](const T& value) { return known.contains(value); });
    std::sort(values.begin(), values.end());
    values.erase(std::unique(values.begin(), values.end()), values.end());
}

} // namespace

BatchLookups::BatchLookups(Database& db)
    : db_(db), firstTaken_(db.prepare("SELECT MIN(record_id) FROM catalogue_records "
                                      "WHERE record_type = ?1 AND record_id >= ?2")) {}

void BatchLookups::forget() {
    holders_.clear();
    records_.clear();
    free_.clear();
    added_.clear();
    counters_.clear();
}

void BatchLookups::preload(RecordKind kind, std::vector<std::string> keys) {
    auto& known = holders_[kind];
    keepUnasked(keys, known);
    if (keys.empty())
        return;
    if (!holdersOf_)
        holdersOf_.emplace(db_.prepare(holdersSql()));
    lookUpEach(
        *holdersOf_, 3, Asked, std::span<const std::string>(keys),
        [&](Statement& st) { st.bind(1, toNumber(kind)).bind(2, controlNumberCode(kind)); },
        [&](Statement& st) {
            known[st.text(0)] = st.isNull(1) ? std::nullopt
                                             : std::optional<std::int32_t>(st.int32(1));
        });
}

std::optional<std::optional<std::int32_t>> BatchLookups::holder(RecordKind kind,
                                                                std::string_view key) const {
    return heldAnswer(holders_, kind, key);
}

void BatchLookups::preloadRecords(RecordKind kind, std::vector<std::int64_t> ids) {
    auto& known = records_[kind];
    keepUnasked(ids, known);
    if (ids.empty())
        return;
    if (!recordsOf_)
        recordsOf_.emplace(db_.prepare(recordsSql()));
    for (const std::int64_t id : ids)
        known.emplace(id, std::nullopt); // none unless a row comes
    lookUpEach(
        *recordsOf_, 2, Asked, std::span<const std::int64_t>(ids),
        [&](Statement& st) { st.bind(1, toNumber(kind)); },
        [&](Statement& st) { known[st.int64(0)] = HeldRecord{st.text(1), st.blob(2)}; });
}

std::optional<std::optional<HeldRecord>> BatchLookups::record(RecordKind kind,
                                                              std::int64_t id) const {
    return heldAnswer(records_, kind, id);
}

bool BatchLookups::taken(RecordKind kind, std::int64_t id) {
    if (added_.contains({kind, id}))
        return true;
    FreeIds& free = free_[kind];
    if (id >= free.from && id < free.until)
        return false;
    firstTaken_.reset();
    firstTaken_.bind(1, toNumber(kind)).bind(2, id);
    const std::int64_t first =
        firstTaken_.step() && !firstTaken_.isNull(0) ? firstTaken_.int64(0) : AboveEveryId;
    firstTaken_.reset();
    if (first == id)
        return true;
    free = {id, first};
    return false;
}

std::optional<std::int64_t> BatchLookups::counter(RecordKind kind) const {
    const auto it = counters_.find(kind);
    return it == counters_.end() ? std::nullopt : std::optional<std::int64_t>(it->second);
}

void BatchLookups::written(RecordKind kind, std::int32_t id, bool added, std::string_view source,
                           std::string_view octets, const std::vector<std::string_view>& keys) {
    if (auto& records = records_[kind]; records.contains(id))
        records[id] = HeldRecord{std::string(source), std::string(octets)};
    auto& known = holders_[kind];
    if (added) {
        added_.insert({kind, id});
    } else {
        // The numbers it held before may be gone with its old version: they
        // are asked again when needed.
        std::erase_if(known, [&](const auto& entry) { return entry.second == id; });
    }
    for (const std::string_view key : keys) {
        const auto it = known.find(key);
        if (it != known.end() && (!it->second || *it->second > id))
            it->second = id;
    }
}

} // namespace orvane::server
