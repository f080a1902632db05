#pragma once
// The files a run leaves in its folder: for a data change, Before and After
// (the changed records as they were and as they became), Deleted, Unchanged
// and Error, each in ISO 2709; for a scan, the records included. The log
// beside them has a line per record and a summary at the end.

#include "record_outcome.h"
#include "run_parameters.h"
#include "run_summary.h"

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace engine {

inline constexpr std::string_view kBeforeFile = "before.mrc";
inline constexpr std::string_view kAfterFile = "after.mrc";
inline constexpr std::string_view kDeletedFile = "deleted.mrc";
inline constexpr std::string_view kUnchangedFile = "unchanged.mrc";
inline constexpr std::string_view kErrorFile = "error.mrc";
inline constexpr std::string_view kIncludedFile = "included.mrc";
inline constexpr std::string_view kLogFile = "log.txt";

class ResultFiles {
public:
    // Creates the folder when missing and the files afresh; `error` says why
    // when that fails.
    static std::unique_ptr<ResultFiles> open(const std::filesystem::path& folder, GroupKind kind,
                                             std::string& error);

    // `original` is the record as it came in; `number` counts from 1.
    void record(std::size_t number, std::string_view original, const RecordOutcome& outcome);
    void malformed(std::string_view description);
    void compileFailure(const std::vector<std::string>& errors);
    void note(std::string_view line);
    // Writes the summary and closes every file; false when a write failed.
    bool finish(const RunSummary& summary);

private:
    ResultFiles() = default;
    std::ofstream& file(std::string_view name);

    GroupKind kind_ = GroupKind::DataChange;
    std::vector<std::pair<std::string_view, std::ofstream>> files_;
    std::ofstream log_;
};

// The control number (001) of a record, for the log; empty when it has none.
std::string_view controlNumber(std::string_view iso2709);

} // namespace engine
