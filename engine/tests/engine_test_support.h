#pragma once
// Shared by the engine tests: real records from the sample folder, a rule
// document built from lines, and one record run through it, with the result
// in the one-line-per-field text form so that assertions read like records.

#include "group_runner.h"
#include "rule_group.h"

#include "marc/mnemonic_writer.h"
#include "marc/reader.h"
#include "marc/record_view.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

namespace engine::testing {

inline std::filesystem::path dataDir() {
    return VELUMAR_MARC_DATA_DIR;
}

#define VELUMAR_REQUIRE_MARC_DATA()                                                                \
    if (!std::filesystem::is_directory(::engine::testing::dataDir()))                             \
    GTEST_SKIP() << "the MARC sample folder " << ::engine::testing::dataDir() << " is absent"

inline std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// The records of a sample file, each as its own bytes.
inline std::vector<std::string> sampleRecords(const std::string& name) {
    const std::string bytes = readFile(dataDir() / name);
    marc::Reader reader{std::string_view(bytes)};
    std::vector<std::string> records;
    while (const auto record = reader.next())
        records.emplace_back(record->bytes());
    return records;
}

// A rule in document form: name, priority, conditions, consequences.
inline std::string rule(const std::string& name, std::initializer_list<std::string> when,
                        std::initializer_list<std::string> then,
                        const std::string& priority = "n") {
    std::string text = "rule \"" + name + "\"\r\n#priority " + priority + "\r\n  when\r\n";
    for (const std::string& c : when)
        text += "    " + c + "\r\n";
    text += "  then\r\n";
    for (const std::string& q : then)
        text += "    " + q + "\r\n";
    return text + "end\r\n\r\n";
}

inline std::string mnemonic(std::string_view iso2709) {
    const marc::ParseResult parsed = marc::parseRecord(iso2709);
    if (!parsed.record)
        return "unreadable: " + (parsed.error ? parsed.error->reason : std::string());
    std::string text;
    marc::appendMnemonic(*parsed.record, text);
    return text;
}

// The text-form lines of the fields whose tag starts with `tag`.
inline std::vector<std::string> lines(const std::string& mrk, const std::string& tag) {
    std::vector<std::string> found;
    std::istringstream in(mrk);
    for (std::string line; std::getline(in, line);)
        if (line.rfind("=" + tag, 0) == 0)
            found.push_back(line);
    return found;
}

struct Applied {
    RecordOutcome outcome;
    std::string after; // text form of the record after the rules
};

inline std::unique_ptr<RuleGroup> compileOrFail(const std::vector<GroupDocument>& documents) {
    auto compiled = RuleGroup::compile(documents);
    for (const std::string& e : compiled.errors)
        ADD_FAILURE() << "does not compile: " << e;
    return std::move(compiled.group);
}

inline Applied run(const std::string& documentText, std::string_view record,
                   const RecordFacts& facts = {}, RunParameters parameters = {}) {
    Applied applied;
    const auto group = compileOrFail({{"test", documentText}});
    if (!group)
        return applied;
    const marc::ParseResult parsed = marc::parseRecord(record);
    if (!parsed.record) {
        ADD_FAILURE() << "the input record is malformed";
        return applied;
    }
    parameters.today = parameters.today.empty() ? "20261205" : parameters.today;
    GroupRunner runner(*group, parameters);
    applied.outcome = runner.apply(*parsed.record, facts);
    applied.after = mnemonic(applied.outcome.outcome == Outcome::Changed
                                 ? std::string_view(applied.outcome.record)
                                 : record);
    return applied;
}

} // namespace engine::testing
