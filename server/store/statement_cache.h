#pragma once
// Compiled statements of one connection, by their SQL, waiting to be used
// again; kept only while the connection is open.

#include "compiled_statement.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace orvane::server {

struct StatementCache {
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view sql) const {
            return std::hash<std::string_view>{}(sql);
        }
    };
    static constexpr std::size_t MostKept = 256;
    bool open = true;
    std::size_t kept = 0;
    std::unordered_map<std::string, std::vector<std::unique_ptr<CompiledStatement>>, Hash,
                       std::equal_to<>>
        idle;

    std::unique_ptr<CompiledStatement> take(std::string_view sql) {
        const auto it = idle.find(sql);
        if (it == idle.end() || it->second.empty())
            return nullptr;
        auto compiled = std::move(it->second.back());
        it->second.pop_back();
        --kept;
        return compiled;
    }
    void give(std::unique_ptr<CompiledStatement> compiled) {
        if (!open || kept >= MostKept)
            return;
        compiled->reset();
        auto it = idle.find(std::string_view(compiled->sql()));
        if (it == idle.end())
            it = idle.emplace(compiled->sql(), std::vector<std::unique_ptr<CompiledStatement>>())
                     .first;
        it->second.push_back(std::move(compiled));
        ++kept;
    }
    void close() {
        idle.clear();
        kept = 0;
        open = false;
    }
};

} // namespace orvane::server
