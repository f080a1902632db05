#pragma once
// What a job (or a preview) gives the rules besides the record: the kind of
// group, the library and location a "Change owning library" sets, whether the
// operator may delete records of the type, and the date of the run.

#include <string>

namespace engine {

enum class GroupKind { DataChange, Scan };

struct RunParameters {
    GroupKind kind = GroupKind::DataChange;
    std::string libraryId;  // REQ_LIBRARY_ID
    std::string locationId; // REQ_LOCATION_ID
    bool mayDelete = true;
    std::string today; // yyyymmdd; empty: the date when the run starts
};

} // namespace engine
