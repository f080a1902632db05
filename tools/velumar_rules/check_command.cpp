// check: one line per line in error, or the whole reading as JSON.
#include "commands.h"
#include "json_report.h"
#include "line_status.h"
#include "rule_document.h"
#include "rule_file.h"

#include <ostream>

namespace velumar_rules {

namespace {

// Every file is read before anything is checked: an unreadable one stops
// the command with its own line, and no partial report is printed.
bool ReadAll(const std::vector<std::string>& paths, std::vector<rules::RuleDocument>& documents,
             std::ostream& err) {
    bool ok = true;
    for (const auto& path : paths) {
        RuleFile file = ReadRuleFile(path);
        if (!file.ok) {
            err << "velumar-rules: " << path << ": cannot read: " << file.error << "\n";
            ok = false;
            continue;
        }
        documents.emplace_back().LoadText(std::move(file.text));
    }
    return ok;
}

} // namespace

int Check(const std::vector<std::string>& paths, bool json, std::ostream& out, std::ostream& err) {
    std::vector<rules::RuleDocument> documents;
    documents.reserve(paths.size());
    if (!ReadAll(paths, documents, err))
        return kExitUnreadable;

    bool anyError = false;
    Json report;
    report["documents"] = Json::array();
    for (std::size_t i = 0; i < documents.size(); ++i) {
        auto& document = documents[i];
        for (const auto& rule : document.Rules) {
            for (const auto& condition : rule.Conditions) {
                if (!InError(condition))
                    continue;
                anyError = true;
                if (!json)
                    out << paths[i] << ":" << rule.Name << ":" << condition.Key() << ": "
                        << condition.ErrorText << "\n";
            }
            for (const auto& consequence : rule.Consequences) {
                if (!InError(consequence))
                    continue;
                anyError = true;
                if (!json)
                    out << paths[i] << ":" << rule.Name << ":" << consequence.Key() << ": "
                        << consequence.ErrorText << "\n";
            }
        }
        if (json)
            report["documents"].push_back(DocumentReport(paths[i], document));
    }
    if (json)
        out << report.dump(2, ' ', false, Json::error_handler_t::replace) << "\n";
    return anyError ? kExitLinesInError : kExitOk;
}

} // namespace velumar_rules
