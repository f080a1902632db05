#pragma once
// The benchmark's input: real records from the sample folder, repeated with
// distinct 001s until there are as many as asked, written as one ISO 2709 file.

#include <cstddef>
#include <string>

namespace velumar::bench {

struct BenchFile {
    std::string path;
    std::size_t records = 0;
    std::size_t bytes = 0;
    std::size_t sources = 0; // distinct real records repeated
};

// Empty path when the sample folder holds no readable record.
BenchFile makeBenchFile(const std::string& dataDir, const std::string& path, std::size_t records);

} // namespace velumar::bench
