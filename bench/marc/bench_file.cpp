#include "bench_file.h"

#include "marc/iso2709_writer.h"
#include "marc/reader.h"
#include "marc/record.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <vector>

namespace velumar::bench {

BenchFile makeBenchFile(const std::string& dataDir, const std::string& path, std::size_t records) {
    // Every clean record of every sample file, in a fixed order.
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(dataDir))
        if (entry.path().extension() != ".md")
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    std::vector<marc::Record> sources;
    for (const auto& file : files) {
        auto reader = marc::Reader::openFile(file.string());
        while (reader) {
            auto view = reader->next();
            if (!view)
                break;
            // Records read with a warning are left out, so both readers see clean data.
            if (reader->issues().empty() && view->findField("001"))
                sources.push_back(marc::Record::fromView(*view));
        }
    }
    BenchFile made;
    if (sources.empty())
        return made;

    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    std::string buffer;
    for (std::size_t i = 0; i < records; ++i) {
        marc::Record record = sources[i % sources.size()];
        record.setControlValue("001", "vlm" + std::to_string(100000000 + i));
        if (marc::appendIso2709(record, buffer))
            continue;
        ++made.records;
        if (buffer.size() > (1u << 22)) {
            out.write(buffer.data(), static_cast<std::streamsize>(buffer.size()));
            made.bytes += buffer.size();
            buffer.clear();
        }
    }
    out.write(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    made.bytes += buffer.size();
    if (!out)
        return {};
    made.path = path;
    made.sources = sources.size();
    return made;
}

} // namespace velumar::bench
