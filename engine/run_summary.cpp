#include "run_summary.h"

namespace engine {

void RunSummary::add(const RecordOutcome& outcome) {
    ++records;
    ++outcomes[static_cast<std::size_t>(outcome.outcome)];
    if (outcome.included)
        ++included;
    for (const std::string& name : outcome.firedRules) {
        auto it = fired.begin();
        while (it != fired.end() && it->first != name)
            ++it;
        if (it == fired.end())
            fired.emplace_back(name, 1);
        else
            ++it->second;
    }
}

} // namespace engine
