// Fuzz entry over the rule language: the input is read as a whole document
// and, line by line, as a single condition, consequence and expression.
// Every line that reads without error is written again and read back.
#include "line_text.h"
#include "rule_clob.h"
#include "rule_condition.h"
#include "rule_consequence.h"
#include "rule_document.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

void Check(bool ok) {
    if (!ok)
        std::abort();
}

// A quoted value that holds a phrase the form tests look for anywhere in the
// line ("has any", "from marc.") reads back as another form: the language
// has no escape for it.
bool HoldsFormPhrase(std::string_view text) {
    const std::string lower = rules::text::ToLower(text);
    std::size_t open = lower.find('"');
    while (open != std::string::npos) {
        const std::size_t close = lower.find('"', open + 1);
        if (close == std::string::npos)
            return false;
        const std::string_view value = std::string_view(lower).substr(open + 1, close - open - 1);
        for (const std::string_view phrase : {"has any", "does not have any", "from marc."})
            if (value.find(phrase) != std::string_view::npos)
                return true;
        open = lower.find('"', close + 1);
    }
    return false;
}

// Written forms that by design do not read back: a comparison on any
// field is written with an empty tag, a parsed library list without its
// quotes, an empty value as nothing at all, and a set on a control field
// with the data field form.
bool ReadsBack(const rules::RuleCondition& condition) {
    namespace ck = rules::condition_kind;
    namespace op = rules::condition_operator;
    if (condition.Kind == ck::FieldValue && condition.Field.empty())
        return condition.Operator == op::Contains || condition.Operator == op::DoesNotContain ||
               condition.Operator == op::StartsWith;
    if (condition.Kind == ck::OwningLibrary)
        return condition.OwningLibraries.starts_with('"');
    return true;
}

bool ReadsBack(const rules::RuleConsequence& consequence) {
    namespace qk = rules::consequence_kind;
    if (consequence.Kind == qk::SetSubfield && !consequence.ControlField.empty())
        return false;
    if (consequence.Kind == qk::SetSubfield || consequence.Kind == qk::AddSubfield)
        return !consequence.Value.empty() || consequence.VariableNumber > 0 ||
               !consequence.Expression.empty();
    return true;
}

void FuzzDocument(const std::string& text) {
    rules::RuleDocument document;
    document.LoadText(text);
    std::string built = document.BuildText("# header\r\n");
    for (auto& rule : document.Rules) {
        rule.ToLines();
        (void)rule.CheckAddFieldPairs();
        for (auto& condition : rule.Conditions)
            if (!condition.HasError())
                condition.Clone().Render();
        for (auto& consequence : rule.Consequences)
            if (!consequence.HasError())
                consequence.Clone().Render();
    }
    // Reading the built text gives as many rules again.
    rules::RuleDocument again;
    again.LoadText(built);
    Check(again.Rules.size() == document.Rules.size());
    (void)rules::RuleDocument::NormalizeText(text);
    (void)rules::RuleDocument::JobParameterNames(built);
}

void FuzzLine(std::string_view line) {
    rules::RuleCondition condition;
    condition.ParseLine(line, 1, "AND");
    if (!condition.HasError() || condition.Kind == rules::condition_kind::Target) {
        // A written line reads back as the same kind without error and is written the
        // same again; unless a quoted value holds one of the phrases that the form
        // tests look for anywhere in the line.
        condition.Render();
        rules::RuleCondition again;
        again.ParseLine(condition.Text, 1);
        if (ReadsBack(condition) && !HoldsFormPhrase(condition.Text)) {
            Check(again.Kind == condition.Kind);
            Check(!again.HasError() || again.Kind == rules::condition_kind::Target);
            again.Render();
            Check(again.Text == condition.Text);
        }
    }

    rules::RuleCondition expression;
    expression.ParseExpression(line);
    if (!expression.HasError())
        expression.Render();

    // The line alone, and as the first line of a possible three-line group.
    std::vector<std::string_view> lines{line, line, line};
    for (std::size_t count : {std::size_t{1}, std::size_t{3}}) {
        rules::RuleConsequence consequence;
        std::size_t cursor = 0;
        consequence.ParseLines(std::span<const std::string_view>(lines.data(), count), cursor, 1);
        Check(cursor >= 1 && cursor <= count);
        if (!consequence.HasError() && ReadsBack(consequence) && consequence.Render()) {
            rules::RuleConsequence again;
            std::vector<std::string_view> written(consequence.Lines.begin(),
                                                  consequence.Lines.end());
            std::size_t at = 0;
            again.ParseLines(written, at, 0);
            Check(!again.HasError());
            Check(at == written.size());
            again.Render();
            Check(again.Lines == consequence.Lines);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    FuzzDocument(text);
    for (const std::string_view line : rules::RuleClob::SplitLines(text))
        FuzzLine(rules::RuleClob::WithoutBreaks(line));
    return 0;
}
