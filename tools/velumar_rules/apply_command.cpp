// apply: runs rule documents, as one group, over a local ISO 2709 file and
// leaves the result files and the log a job would leave.
#include "commands.h"
#include "json_report.h"
#include "rule_file.h"

#include "field_order.h"
#include "group_runner.h"
#include "result_files.h"
#include "rule_group.h"

#include "marc/reader.h"

#include <ostream>

namespace velumar_rules {

namespace {

constexpr std::size_t kProgressEvery = 10000;

// Offline the catalogue's facts are unknown; only the record's type is read
// from its leader.
engine::RecordFacts offlineFacts(const marc::RecordView& record) {
    engine::RecordFacts facts;
    switch (record.recordType()) {
    case marc::RecordType::Holdings:
        facts.kind = engine::RecordKind::Holdings;
        break;
    case marc::RecordType::Authority:
        facts.kind = engine::RecordKind::Authority;
        break;
    default:
        facts.kind = engine::RecordKind::Bibliographic;
    }
    return facts;
}

Json summaryJson(const engine::RunSummary& summary, bool scan, const Json& malformed) {
    Json out;
    out["records"] = summary.records;
    if (scan) {
        out["included"] = summary.included;
    } else {
        for (const auto o : {engine::Outcome::Changed, engine::Outcome::Unchanged,
                             engine::Outcome::Deleted, engine::Outcome::Error})
            out[std::string(engine::toString(o))] = summary.count(o);
    }
    out["malformed"] = malformed;
    Json fired = Json::object();
    for (const auto& [name, count] : summary.fired)
        fired[name] = count;
    out["rules_fired"] = fired;
    return out;
}

} // namespace

int Apply(const ApplyOptions& options, std::ostream& out, std::ostream& err) {
    std::vector<engine::GroupDocument> documents;
    for (const std::string& path : options.documents) {
        RuleFile file = ReadRuleFile(path);
        if (!file.ok) {
            err << "velumar-rules: " << path << ": cannot read: " << file.error << "\n";
            return kExitUnreadable;
        }
        documents.push_back({path, std::move(file.text)});
    }
    std::optional<engine::FieldOrder> order;
    if (options.order) {
        std::string error;
        order = engine::FieldOrder::parse(*options.order, error);
        if (!order) {
            err << "velumar-rules: --order: " << error << "\n";
            return kExitUnreadable;
        }
    }
    auto reader = marc::Reader::openFile(options.input);
    if (!reader) {
        err << "velumar-rules: " << options.input << ": cannot read\n";
        return kExitUnreadable;
    }
    const engine::GroupKind kind =
        options.scan ? engine::GroupKind::Scan : engine::GroupKind::DataChange;
    std::string error;
    auto files = engine::ResultFiles::open(options.outputFolder, kind, error);
    if (!files) {
        err << "velumar-rules: " << error << "\n";
        return kExitUnreadable;
    }

    const auto compiled = engine::RuleGroup::compile(documents);
    if (!compiled.group) {
        err << "velumar-rules: Rule failed to compile.\n";
        for (const std::string& e : compiled.errors)
            err << "  " << e << "\n";
        files->compileFailure(compiled.errors);
        files->finish({});
        if (options.json)
            out << Json{{"compile_errors", compiled.errors}}.dump(2) << "\n";
        return kExitLinesInError;
    }
    if (const auto factRules = compiled.group->factRules(); !factRules.empty()) {
        std::string names;
        for (const std::string& n : factRules)
            names += (names.empty() ? "" : ", ") + n;
        const std::string note =
            "note: the catalogue's facts about a record (dates, operators, owning library, "
            "suppression, export, holdings) are unknown here; conditions on them do not hold. "
            "Rules that use them: " + names;
        err << note << "\n";
        files->note(note);
    }

    engine::RunParameters parameters;
    parameters.kind = kind;
    engine::GroupRunner runner(*compiled.group, parameters,
                               order && !order->empty() ? &*order : nullptr);
    engine::RunSummary summary;
    engine::RecordOutcome outcome;
    Json malformed = Json::array();
    std::size_t number = 0;
    const auto reportIssues = [&] {
        for (const marc::Issue& issue : reader->issues()) {
            if (issue.severity != marc::Severity::Error)
                continue;
            ++summary.malformed;
            const std::string description = marc::describe(issue);
            err << "velumar-rules: " << options.input << ": " << description << "\n";
            files->malformed(description);
            malformed.push_back({{"offset", issue.recordOffset}, {"reason", issue.reason}});
        }
    };
    while (const auto record = reader->next()) {
        reportIssues();
        runner.apply(*record, offlineFacts(*record), outcome);
        files->record(++number, record->bytes(), outcome);
        summary.add(outcome);
        if (number % kProgressEvery == 0)
            err << "\r" << number << " records" << std::flush;
    }
    reportIssues();
    if (number >= kProgressEvery)
        err << "\r" << number << " records\n";
    if (reader->inputFailed()) {
        err << "velumar-rules: " << options.input << ": read error\n";
        return kExitUnreadable;
    }
    if (!files->finish(summary)) {
        err << "velumar-rules: " << options.outputFolder << ": a result file could not be written\n";
        return kExitUnreadable;
    }
    if (options.json)
        out << summaryJson(summary, options.scan, malformed).dump(2, ' ', false,
                                                                   Json::error_handler_t::replace)
            << "\n";
    return summary.malformed > 0 ? kExitLinesInError : kExitOk;
}

} // namespace velumar_rules
