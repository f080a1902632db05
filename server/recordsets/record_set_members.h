#pragma once
// The record ids of a record set, kept in the order they arrived. An id is
// held once per set; only ids of records of the set's type in the catalogue
// are taken.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace orvane::server {

class Database;

// One piece of a set's ids as text, one id a line; `next` is the number of
// the chunk after it, 0 when this was the last.
struct RecordSetChunk {
    std::string ids;
    std::int32_t next = 0;
};

class RecordSetMembers {
public:
    // How many ids one chunk of GET_RECORD_SET holds at most.
    static constexpr std::int64_t ChunkSize = 10000;

    explicit RecordSetMembers(Database& db) : db_(db) {}

    // Adds, in one transaction, the ids that are records of `recordType` in
    // the catalogue and not yet in the set, after those already there; marks
    // the set as changed by `by`. Answers the ids that are no such record,
    // in the order given.
    std::vector<std::int32_t> add(std::int32_t setId, int recordType,
                                  std::span<const std::int32_t> ids, const std::string& by);

    // Chunk `number` (from 1). Chunks cover fixed ranges of arrival
    // positions, so one chunk costs the same however far into the set it is;
    // after removals a chunk may hold fewer ids, or none.
    RecordSetChunk chunk(std::int32_t setId, std::int32_t number);

    // The id at `position` (from 1) in arrival order; nothing past the end.
    // `count` is the set's record count, as the set keeps it.
    std::optional<std::int32_t> at(std::int32_t setId, std::int64_t position, std::int64_t count);

    // False when the id is not in the set.
    bool remove(std::int32_t setId, std::int32_t recordId, const std::string& by);

private:
    Database& db_;
};

} // namespace orvane::server
