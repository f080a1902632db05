#pragma once
// Merging a matched pair of authority records: the incoming record, with
// what the configuration keeps of the existing one (by category, narrowed
// to listed tags, local $5 fields, the old heading as a 688, three 008
// bytes), unless a do-not-merge test holds on the existing record.

#include "merge_configuration.h"

#include <optional>
#include <string>
#include <string_view>

namespace marc {
class RecordView;
}

namespace orvane::server::authload {

// The first do-not-merge test that holds on the existing record, named by
// its code; nothing when the pair may be merged.
std::optional<std::string> doNotMerge(const marc::RecordView& existing,
                                      const MergeConfiguration& configuration);

// The merged record in ISO 2709; nothing, with the reason, when it cannot be
// written (too long for ISO 2709).
std::optional<std::string> mergeRecords(const marc::RecordView& incoming,
                                        const marc::RecordView& existing,
                                        const MergeConfiguration& configuration,
                                        std::string& error);

} // namespace orvane::server::authload
