// stats: what a file holds: records read, malformed records and where, record
// types and character codings as leader 06 and 09 give them.

#include "commands.h"
#include "marc/record.h"
#include "marc/record_view.h"
#include "record_input.h"

#include <array>
#include <map>
#include <nlohmann/json.hpp>
#include <ostream>
#include <vector>

namespace velumar::marctool {

namespace {

class StatsSink : public RecordSink {
public:
    void record(const marc::RecordView& record) override { count(record.leader()); }
    void record(const marc::Record& record) override { count(record.leader().text()); }
    void issue(const marc::Issue& issue) override { issues.push_back(issue); }

    std::array<std::size_t, 3> types{}; // by marc::RecordType
    std::map<char, std::size_t> typeBytes;
    std::map<char, std::size_t> codingBytes;
    std::vector<marc::Issue> issues;

private:
    void count(std::string_view leader) {
        ++types[static_cast<std::size_t>(marc::recordTypeOf(leader))];
        ++typeBytes[leader[6]];
        ++codingBytes[leader[9]];
    }
};

constexpr std::array<marc::RecordType, 3> allTypes = {
    marc::RecordType::Bibliographic, marc::RecordType::Holdings, marc::RecordType::Authority};

std::string shown(char byte) {
    return std::string{'"', byte, '"'};
}

void writeText(std::ostream& out, const std::string& path, const InputSummary& summary,
               const StatsSink& sink) {
    out << "file: " << path << '\n'
        << "records: " << summary.records << '\n'
        << "malformed: " << summary.errors << '\n'
        << "warnings: " << summary.warnings << '\n'
        << "record types:\n";
    for (marc::RecordType type : allTypes)
        out << "  " << marc::toString(type) << ": " << sink.types[static_cast<std::size_t>(type)]
            << '\n';
    out << "type of record (leader 06):\n";
    for (const auto& [byte, n] : sink.typeBytes)
        out << "  " << shown(byte) << " (" << marc::toString(marc::recordTypeFromLeader06(byte))
            << "): " << n << '\n';
    out << "character coding (leader 09):\n";
    for (const auto& [byte, n] : sink.codingBytes)
        out << "  " << shown(byte) << " ("
            << marc::toString(marc::characterCodingFromLeader09(byte)) << "): " << n << '\n';
    if (!sink.issues.empty()) {
        out << "issues:\n";
        for (const marc::Issue& issue : sink.issues)
            out << "  " << marc::describe(issue) << '\n';
    }
}

void writeJson(std::ostream& out, const std::string& path, const InputSummary& summary,
               const StatsSink& sink) {
    nlohmann::ordered_json types = nlohmann::ordered_json::object();
    for (marc::RecordType type : allTypes)
        types[std::string(marc::toString(type))] = sink.types[static_cast<std::size_t>(type)];
    nlohmann::ordered_json typeBytes = nlohmann::ordered_json::object();
    for (const auto& [byte, n] : sink.typeBytes)
        typeBytes[std::string(1, byte)] = n;
    nlohmann::ordered_json codingBytes = nlohmann::ordered_json::object();
    for (const auto& [byte, n] : sink.codingBytes)
        codingBytes[std::string(1, byte)] = n;
    nlohmann::ordered_json issues = nlohmann::ordered_json::array();
    for (const marc::Issue& issue : sink.issues) {
        nlohmann::ordered_json entry = {
            {"severity", issue.severity == marc::Severity::Error ? "error" : "warning"},
            {"kind", std::string(marc::toString(issue.kind))},
            {"offset", issue.offset},
            {"recordOffset", issue.recordOffset}};
        if (issue.line != 0)
            entry["line"] = issue.line;
        entry["reason"] = issue.reason;
        issues.push_back(std::move(entry));
    }
    const nlohmann::ordered_json report = {{"file", path},
                                           {"records", summary.records},
                                           {"malformed", summary.errors},
                                           {"warnings", summary.warnings},
                                           {"recordTypes", types},
                                           {"leader06", typeBytes},
                                           {"leader09", codingBytes},
                                           {"issues", issues}};
    out << report.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
}

} // namespace

int runStats(const std::string& path, bool json, marc::ReadOptions options, std::ostream& out,
             std::ostream& err) {
    StatsSink sink;
    const InputSummary summary = readRecords(path, options, sink);
    if (!summary.opened || !summary.failure.empty()) {
        err << "velumar-marc: " << summary.failure << '\n';
        return ExitUnusable;
    }
    if (json)
        writeJson(out, path, summary, sink);
    else
        writeText(out, path, summary, sink);
    return summary.errors > 0 ? ExitMalformed : ExitOk;
}

} // namespace velumar::marctool
