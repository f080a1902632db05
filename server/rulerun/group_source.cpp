#include "group_source.h"

#include "store/database.h"

namespace orvane::server {

std::optional<GroupSource> loadGroupSource(Database& db, std::int32_t groupId) {
    auto group = db.prepare("SELECT rule_type, name FROM rule_sets WHERE id = ?1");
    group.bind(1, groupId);
    if (!group.step())
        return std::nullopt;
    GroupSource source;
    source.id = groupId;
    source.ruleType = group.int32(0);
    source.name = group.text(1);

    auto documents = db.prepare("SELECT d.name, d.text FROM rule_set_links l JOIN rule_documents "
                                "d ON d.id = l.document WHERE l.rule_set = ?1 ORDER BY l.position");
    documents.bind(1, groupId);
    while (documents.step()) {
        source.documents.push_back({documents.text(0), documents.text(1)});
        const auto& added = source.documents.back();
        source.stamp.append(added.name).push_back('\0');
        source.stamp.append(added.text).push_back('\0');
    }
    auto parameters =
        db.prepare("SELECT name, value FROM rule_set_parameters WHERE rule_set = ?1 ORDER BY position");
    parameters.bind(1, groupId);
    while (parameters.step())
        source.parameters.emplace_back(parameters.text(0), parameters.text(1));
    return source;
}

} // namespace orvane::server
