#pragma once
// A MARC file opened for reading: ISO 2709, or the text form when its name ends
// in ".mrk". Records are handed over as they are read, views for ISO 2709 and
// owned records for the text form, with the issues met on the way.

#include "marc/issue.h"
#include "marc/reader.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace marc {
class Record;
class RecordView;
} // namespace marc

namespace velumar::marctool {

// True for a path whose extension is ".mrk", in any case.
bool isMnemonicPath(std::string_view path);

class RecordSink {
public:
    virtual ~RecordSink() = default;
    virtual void record(const marc::RecordView& record) = 0;
    virtual void record(const marc::Record& record) = 0;
    virtual void issue(const marc::Issue& issue) = 0;
};

struct InputSummary {
    bool opened = false; // false: the file could not be opened or read
    std::string failure; // why, when not opened or when reading broke off
    std::size_t records = 0;
    std::size_t errors = 0;
    std::size_t warnings = 0;
};

// Reads every record of `path` into `sink`.
InputSummary readRecords(const std::string& path, marc::ReadOptions options, RecordSink& sink);

} // namespace velumar::marctool
