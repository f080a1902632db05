#pragma once
// The ISO 2709 result files of a job that sorts records into several
// (match, no match, discard ...), opened as they are first written.

#include "job_files.h"

#include <fstream>
#include <map>
#include <string_view>

namespace orvane::server {

class ResultWriter {
public:
    explicit ResultWriter(const JobFiles& files) : files_(files) {}
    void write(std::int32_t type, std::string_view record);

private:
    const JobFiles& files_;
    std::map<std::int32_t, std::ofstream> open_;
};

} // namespace orvane::server
