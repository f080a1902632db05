#pragma once
// Shared by the MARC library tests: the real files beside the checkout, records
// built in memory, and reading a whole input.

#include "marc/iso2709_writer.h"
#include "marc/reader.h"
#include "marc/record.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace marc::testing {

inline std::filesystem::path dataDir() {
    return VELUMAR_MARC_DATA_DIR;
}

inline bool haveData() {
    return std::filesystem::is_directory(dataDir());
}

#define VELUMAR_REQUIRE_MARC_DATA()                                                                \
    if (!::marc::testing::haveData())                                                              \
    GTEST_SKIP() << "the MARC sample folder " << ::marc::testing::dataDir() << " is absent"

inline std::string readBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::string bytes;
    char chunk[1 << 16];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0)
        bytes.append(chunk, static_cast<std::size_t>(in.gcount()));
    return bytes;
}

inline std::string dataFile(const std::string& name) {
    return readBytes(dataDir() / name);
}

// What reading a whole input gave: each record's bytes and offset, every issue.
struct ReadAll {
    std::vector<std::string> records;
    std::vector<std::size_t> offsets;
    std::vector<Issue> issues;
    std::size_t errors = 0;
    std::size_t warnings = 0;
    bool stopped = false;
};

inline ReadAll readAll(Reader& reader) {
    ReadAll all;
    for (;;) {
        auto record = reader.next();
        all.issues.insert(all.issues.end(), reader.issues().begin(), reader.issues().end());
        if (!record)
            break;
        all.records.emplace_back(record->bytes());
        all.offsets.push_back(record->offset());
    }
    all.errors = reader.errorCount();
    all.warnings = reader.warningCount();
    all.stopped = reader.stopped();
    return all;
}

inline ReadAll readAll(std::string_view bytes, ReadOptions options = {}) {
    Reader reader(bytes, options);
    return readAll(reader);
}

// A small bibliographic record: 001, 008 and a 245 with two subfields.
inline Record sampleRecord(const std::string& id = "12345") {
    Record r;
    r.appendField(Field::control("001", id));
    r.appendField(Field::control("008", "000313s2000    nyu"));
    r.appendField(Field::data("245", '1', '0', {{'a', "Title :"}, {'b', "subtitle."}}));
    return r;
}

inline std::string iso(const Record& record) {
    std::string out;
    const auto failure = appendIso2709(record, out);
    EXPECT_FALSE(failure) << *failure;
    return out;
}

} // namespace marc::testing
