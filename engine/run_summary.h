#pragma once
// Counts of a run over many records: each outcome, the malformed records
// skipped, the records a scan included, and how often each rule fired.

#include "record_outcome.h"

#include <array>
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace engine {

struct RunSummary {
    std::size_t records = 0; // well-formed records run
    std::array<std::size_t, 4> outcomes{}; // by Outcome
    std::size_t malformed = 0;
    std::size_t included = 0;
    // Rule names in the order they first fired, with their counts.
    std::vector<std::pair<std::string, std::size_t>> fired;

    void add(const RecordOutcome& outcome);
    std::size_t count(Outcome outcome) const {
        return outcomes[static_cast<std::size_t>(outcome)];
    }
};

} // namespace engine
