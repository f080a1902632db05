#include "result_writer.h"

namespace orvane::server {

void ResultWriter::write(std::int32_t type, std::string_view record) {
    auto it = open_.find(type);
    if (it == open_.end()) {
        std::filesystem::create_directories(files_.folder());
        it = open_.emplace(type, std::ofstream(files_.resultFile(type),
                                               std::ios::binary | std::ios::trunc))
                 .first;
    }
    it->second.write(record.data(), static_cast<std::streamsize>(record.size()));
}

} // namespace orvane::server
