#pragma once
// The record sets themselves: name, description, types, count and who made
// and last changed each. Their members are RecordSetMembers' concern.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orvane::server {

class Database;

struct RecordSetRow {
    std::int32_t id = 0;
    std::string name;
    std::string description;
    int setType = 1; // 1 explicit, 2 logical
    int recordType = 0;
    std::int32_t recordCount = 0;
    std::string createdBy;
    std::string createdAt;
    std::string updatedBy; // empty until the set is first changed
    std::string updatedAt;
};

// What a change came to: a status of the wire (0, 4 name taken, 7 not
// found, 8 invalid value) and the id of the set made or changed.
struct RecordSetChange {
    std::int32_t status = 0;
    std::int32_t id = 0;
};

class RecordSetCatalogue {
public:
    explicit RecordSetCatalogue(Database& db) : db_(db) {}

    // Every set, by name.
    std::vector<RecordSetRow> list();
    std::optional<RecordSetRow> find(std::int32_t id);

    // Each change is one transaction; `by` is the operator making it.
    RecordSetChange add(const std::string& name, int setType, int recordType,
                        const std::string& by);
    // A new set of the source's record type holding its members in their order.
    RecordSetChange copy(std::int32_t sourceId, const std::string& name,
                         const std::string& description, const std::string& by);
    RecordSetChange update(std::int32_t id, const std::string& name,
                           const std::string& description, const std::string& by);
    // The members go with the set. The caller checks first that no job uses it.
    bool remove(std::int32_t id);

private:
    bool nameTaken(const std::string& name, std::int32_t exceptId);

    Database& db_;
};

} // namespace orvane::server
