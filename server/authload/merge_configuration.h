#pragma once
// A load merge configuration as the merge reads it: which categories of an
// existing authority record's fields survive a merge and how, the
// do-not-merge tests with their values, and what to do with several
// matches. Read from the group's coded document names ("1XX|Move old
// heading to 688") and its parameters.

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orvane::server::authload {

enum class Retention {
    UseIncoming,
    ExistingInstead,
    ExistingAndIncoming,
    LocalInstead,          // existing with a local $5, instead of incoming
    LocalAndIncoming,      // existing with a local $5, beside incoming
    ExistingIfNoIncoming,  // existing when the incoming record has none
    LocalIfNoIncoming,     // existing with a local $5 when the incoming has none
    ExistingUnlessHeadingsDiffer, // 781 only
    MoveOldHeadingTo688,   // 1XX only
};

struct CategoryRule {
    Retention retention = Retention::UseIncoming;
    std::set<std::string> fields; // "FIELDS_": only these tags; empty for all
    bool addSubfield5 = false;    // "ADD_SUB5_"
};

struct DoNotMerge {
    std::string code;  // "DNMLDR17", "DNM040$a", ...
    std::string input; // its "_INPUT" value, where the code takes one
};

struct MergeConfiguration {
    std::map<std::string, CategoryRule, std::less<>> categories; // by row code
    std::set<std::string> keep008Bytes;                        // "00806", "00812", "00813"
    std::vector<DoNotMerge> doNotMerge;
    std::map<std::string, bool, std::less<>> mergeMultiple; // "MMM_..." → "Y"
    std::string localNucCode;
    std::set<std::string> localNucCodes; // the code and the list
    bool ignore4xxOnMatched008 = false;
    bool ignore5xxOnMatched008 = false;
    std::optional<std::int32_t> chooseBestGroup;
    bool importUnmatched = false;

    // Unknown option labels are named in `errors`.
    static MergeConfiguration read(const std::vector<std::string>& documentNames,
                                   const std::vector<std::pair<std::string, std::string>>& parameters,
                                   std::vector<std::string>& errors);

    // The category a field's tag belongs to ("0XX", "09X", "043", "781" ...),
    // empty for a control field.
    static std::string_view categoryOf(std::string_view tag);
};

} // namespace orvane::server::authload
