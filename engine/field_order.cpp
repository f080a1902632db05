#include "field_order.h"

#include "work_record.h"

#include <algorithm>

namespace engine {

std::optional<FieldOrder> FieldOrder::parse(std::string_view patterns, std::string& error) {
    FieldOrder order;
    while (!patterns.empty()) {
        const std::size_t comma = patterns.find(',');
        std::string_view item = patterns.substr(0, comma);
        patterns = comma == std::string_view::npos ? std::string_view{} : patterns.substr(comma + 1);
        while (!item.empty() && item.front() == ' ')
            item.remove_prefix(1);
        while (!item.empty() && item.back() == ' ')
            item.remove_suffix(1);
        if (item.empty())
            continue;
        if (item.size() != 3) {
            std::string why(1, '"');
            why.append(item);
            why.append("\" is not a tag or a tag pattern such as 5XX");
            error = std::move(why);
            return std::nullopt;
        }
        TagPattern p = TagPattern::from(item);
        // The leader always comes first; it takes no place among the fields.
        if (!p.isLeader())
            order.patterns_.push_back(std::move(p));
    }
    return order;
}

void FieldOrder::apply(WorkRecord& record) const {
    const std::size_t unmatched = patterns_.size();
    std::vector<std::pair<std::size_t, std::size_t>> ranked(record.size());
    for (std::size_t i = 0; i < record.size(); ++i) {
        std::size_t rank = unmatched;
        for (std::size_t p = 0; p < patterns_.size(); ++p) {
            if (patterns_[p].matches(record.tag(i))) {
                rank = p;
                break;
            }
        }
        ranked[i] = {rank, i};
    }
    if (std::is_sorted(ranked.begin(), ranked.end()))
        return;
    std::stable_sort(ranked.begin(), ranked.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::size_t> order;
    order.reserve(ranked.size());
    for (const auto& [rank, index] : ranked)
        order.push_back(index);
    record.reorder(order);
}

} // namespace engine
