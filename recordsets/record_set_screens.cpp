#include "record_set_screens.h"

namespace velumar {

RecordSetScreens::Registration RecordSetScreens::Register(Refill refill) {
    const int id = nextId_++;
    refills_.emplace(id, std::move(refill));
    return Registration(this, id);
}

void RecordSetScreens::RefillAll(qint32 selectId) {
    // A screen may close, or another open, while the lists are refilled.
    const auto refills = refills_;
    for (const auto& [id, refill] : refills)
        if (refills_.count(id))
            refill(selectId);
}

} // namespace velumar
