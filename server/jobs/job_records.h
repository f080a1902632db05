#pragma once
// The records a job was given by its client (an authority-load match job's
// file, uploaded in bulks), kept with the job in upload order.

#include <cstdint>
#include <string>
#include <vector>

namespace orvane::server {

class Database;

class JobRecords {
public:
    explicit JobRecords(Database& db) : db_(db) {}

    std::int32_t count(std::int32_t job);
    // Appends the records after those held, the first at position count + 1.
    void append(std::int32_t job, const std::vector<std::string>& records);
    // The records as uploaded, in order.
    std::vector<std::string> all(std::int32_t job);

private:
    Database& db_;
};

} // namespace orvane::server
