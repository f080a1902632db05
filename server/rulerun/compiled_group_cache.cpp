#include "compiled_group_cache.h"

namespace orvane::server {

std::shared_ptr<const CompiledGroup> CompiledGroupCache::get(Database& db, std::int32_t groupId) {
    auto source = loadGroupSource(db, groupId);
    if (!source)
        return nullptr;
    {
        std::lock_guard lock(mutex_);
        const auto it = entries_.find(groupId);
        if (it != entries_.end() && it->second->source.stamp == source->stamp)
            return it->second;
    }
    auto compiled = std::make_shared<CompiledGroup>();
    auto result = engine::RuleGroup::compile(source->documents);
    compiled->group = std::move(result.group);
    compiled->errors = std::move(result.errors);
    compiled->source = std::move(*source);
    std::lock_guard lock(mutex_);
    entries_[groupId] = compiled;
    return compiled;
}

CompiledGroupCache& compiledGroups() {
    static CompiledGroupCache cache;
    return cache;
}

} // namespace orvane::server
