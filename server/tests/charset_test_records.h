#pragma once
// ISO 2709 records for the character set tests: building small ones,
// reading the shared sample files, and taking records apart with every
// length and address checked (independently of the code under test).

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orvane::server::testing {

inline constexpr char SubfieldMark = '\x1F';
inline constexpr char FieldEnd = '\x1E';
inline constexpr char RecordEnd = '\x1D';

struct TestField {
    std::string tag;
    std::string data; // indicators and subfields, or a control field's value; no terminator
    bool operator==(const TestField&) const = default;
};

struct TestRecord {
    std::string leader;
    std::vector<TestField> fields;
};

// A record with the given leader (lengths and base address filled in).
inline std::string buildRecord(std::string leader, const std::vector<TestField>& fields) {
    std::string directory;
    std::string data;
    for (const auto& f : fields) {
        char entry[16];
        std::snprintf(entry, sizeof entry, "%.3s%04zu%05zu", f.tag.c_str(), f.data.size() + 1,
                      data.size());
        directory += entry;
        data += f.data + FieldEnd;
    }
    const std::size_t base = 24 + directory.size() + 1;
    const std::size_t length = base + data.size() + 1;
    char number[8];
    std::snprintf(number, sizeof number, "%05zu", length);
    leader.replace(0, 5, number);
    std::snprintf(number, sizeof number, "%05zu", base);
    leader.replace(12, 5, number);
    return leader + directory + FieldEnd + data + RecordEnd;
}

// Takes a record apart, failing the test when its leader length is not its
// size, its base address is wrong, or its directory does not describe the
// fields end to end, each closed by a field terminator.
inline std::optional<TestRecord> parseRecord(std::string_view r) {
    auto number = [&](std::size_t at, std::size_t n) -> std::optional<std::size_t> {
        if (at + n > r.size())
            return std::nullopt;
        std::size_t v = 0;
        for (char c : r.substr(at, n)) {
            if (c < '0' || c > '9')
                return std::nullopt;
            v = v * 10 + static_cast<std::size_t>(c - '0');
        }
        return v;
    };
    const auto length = number(0, 5);
    const auto base = number(12, 5);
    if (!length || *length != r.size() || r.back() != RecordEnd) {
        ADD_FAILURE() << "leader length " << r.substr(0, 5) << " for a record of " << r.size();
        return std::nullopt;
    }
    if (!base || *base < 25 || *base >= r.size() || r[*base - 1] != FieldEnd ||
        (*base - 25) % 12 != 0) {
        ADD_FAILURE() << "base address " << r.substr(12, 5) << " does not end the directory";
        return std::nullopt;
    }
    TestRecord out{std::string(r.substr(0, 24)), {}};
    std::size_t expectedStart = 0;
    for (std::size_t at = 24; at + 1 < *base; at += 12) {
        const auto fieldLength = number(at + 3, 4);
        const auto start = number(at + 7, 5);
        if (!fieldLength || !start || *start != expectedStart ||
            *base + *start + *fieldLength >= r.size() ||
            r[*base + *start + *fieldLength - 1] != FieldEnd) {
            ADD_FAILURE() << "directory entry " << r.substr(at, 12) << " does not fit its field";
            return std::nullopt;
        }
        out.fields.push_back({std::string(r.substr(at, 3)),
                              std::string(r.substr(*base + *start, *fieldLength - 1))});
        expectedStart += *fieldLength;
    }
    if (*base + expectedStart + 1 != r.size()) {
        ADD_FAILURE() << "the fields end at " << *base + expectedStart << " in a record of "
                      << r.size();
        return std::nullopt;
    }
    return out;
}

inline std::vector<std::string> splitRecords(std::string_view file) {
    std::vector<std::string> out;
    std::size_t begin = 0;
    for (std::size_t i = 0; i < file.size(); ++i) {
        if (file[i] == RecordEnd) {
            out.emplace_back(file.substr(begin, i + 1 - begin));
            begin = i + 1;
        }
    }
    return out;
}

inline const std::filesystem::path& marcDataDir() {
    static const std::filesystem::path dir(VELUMAR_MARC_DATA_DIR);
    return dir;
}

// The records of a shared sample file; empty when the file is not there.
inline std::vector<std::string> sampleRecords(std::string_view name) {
    std::ifstream in(marcDataDir() / name, std::ios::binary);
    if (!in)
        return {};
    std::ostringstream content;
    content << in.rdbuf();
    return splitRecords(content.str());
}

#define SKIP_WITHOUT_MARC_SAMPLES()                                                                \
    if (!std::filesystem::is_directory(::orvane::server::testing::marcDataDir()))                  \
    GTEST_SKIP() << "MARC sample folder " << ::orvane::server::testing::marcDataDir()              \
                 << " is absent"

} // namespace orvane::server::testing
