#pragma once
// A job's log and result files, in a folder of its own beside the database
// ("orvane.db.jobs/12/").

#include "job_kinds.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace orvane::server {

struct JobResultFileEntry {
    std::int32_t type = 0;
    std::string name;
};

class JobFiles {
public:
    JobFiles(const std::string& databasePath, std::int32_t jobId);

    const std::filesystem::path& folder() const { return folder_; }
    std::filesystem::path log() const { return folder_ / jobs::LogFile; }
    std::filesystem::path resultFile(std::int32_t type) const;
    // What an auth load match job matched with, for the jobs that read its files.
    std::filesystem::path matchSettings() const { return folder_ / "match-settings.txt"; }

    bool hasLog() const;
    // The result files that hold anything, by type.
    std::vector<JobResultFileEntry> results() const;
    bool hasResults() const { return !results().empty(); }

    // The whole file; nothing when it is absent.
    static std::optional<std::string> read(const std::filesystem::path& path);
    void removeLog() const;
    void removeResults() const;
    void removeAll() const;

private:
    std::filesystem::path folder_;
};

} // namespace orvane::server
