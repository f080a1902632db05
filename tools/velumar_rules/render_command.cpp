// render: the document written again, every line that reads without error
// rebuilt from its fields.
#include "commands.h"
#include "line_status.h"
#include "rule_clob.h"
#include "rule_document.h"
#include "rule_file.h"

#include <ostream>

namespace velumar_rules {

int Render(const std::string& path, std::ostream& out, std::ostream& err) {
    RuleFile file = ReadRuleFile(path);
    if (!file.ok) {
        err << "velumar-rules: " << path << ": cannot read: " << file.error << "\n";
        return kExitUnreadable;
    }
    rules::RuleDocument document;
    document.LoadText(std::move(file.text));
    for (auto& rule : document.Rules) {
        for (auto& condition : rule.Conditions)
            if (!InError(condition))
                condition.Render();
        for (auto& consequence : rule.Consequences)
            if (!InError(consequence))
                consequence.Render();
    }
    // Each line break, CR LF, CR or LF alike, is written as CR LF: a header
    // kept with bare CRs keeps its lines.
    const std::string built = document.BuildText();
    for (const std::string_view line : rules::RuleClob::SplitLines(built))
        out << rules::RuleClob::WithoutBreaks(line) << "\r\n";
    return kExitOk;
}

} // namespace velumar_rules
