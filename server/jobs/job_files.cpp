#include "job_files.h"

#include <fstream>
#include <sstream>

namespace orvane::server {

JobFiles::JobFiles(const std::string& databasePath, std::int32_t jobId)
    : folder_(std::filesystem::path(databasePath + ".jobs") / std::to_string(jobId)) {}

std::filesystem::path JobFiles::resultFile(std::int32_t type) const {
    for (const jobs::ResultFileKind& kind : jobs::ResultFileKinds)
        if (kind.type == type)
            return folder_ / kind.file;
    return {};
}

bool JobFiles::hasLog() const {
    std::error_code ec;
    return std::filesystem::is_regular_file(log(), ec);
}

std::vector<JobResultFileEntry> JobFiles::results() const {
    std::vector<JobResultFileEntry> found;
    for (const jobs::ResultFileKind& kind : jobs::ResultFileKinds) {
        std::error_code ec;
        const auto size = std::filesystem::file_size(folder_ / kind.file, ec);
        if (!ec && size > 0)
            found.push_back({kind.type, std::string(kind.file)});
    }
    return found;
}

std::optional<std::string> JobFiles::read(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void JobFiles::removeLog() const {
    std::error_code ec;
    std::filesystem::remove(log(), ec);
}

void JobFiles::removeResults() const {
    for (const jobs::ResultFileKind& kind : jobs::ResultFileKinds) {
        std::error_code ec;
        std::filesystem::remove(folder_ / kind.file, ec);
    }
}

void JobFiles::removeAll() const {
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
}

} // namespace orvane::server
