#include "rule_component.h"

#include "line_text.h"

#include <algorithm>
#include <memory>

namespace rules {

namespace qk = consequence_kind;

namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kIndent = "    ";

} // namespace

std::string CleanRuleLine(std::string_view line) {
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n'))
        line.remove_suffix(1);
    std::string out;
    out.reserve(line.size());
    for (char c : line)
        if (c != '\t')
            out.push_back(c);
    const std::string_view trimmed = text::Trim(out);
    if (trimmed.size() != out.size())
        out = std::string(trimmed);
    return out;
}

void RuleComponent::Read(std::span<const std::string_view> lines, std::int32_t index) {
    enum class Part { Head, When, Then };
    Part part = Part::Head;
    std::vector<std::string_view> conditionLines;
    std::vector<std::string_view> consequenceLines;
    // Reserved up front: the views below stay valid while it fills.
    std::vector<std::string> cleaned;
    cleaned.reserve(lines.size());

    for (const std::string_view raw : lines) {
        cleaned.push_back(CleanRuleLine(raw));
        const std::string_view line = cleaned.back();
        if (text::StartsWithNoCase(line, "rule")) {
            const auto open = line.find('"');
            const auto close = open == std::string_view::npos ? open : line.find('"', open + 1);
            if (open != std::string_view::npos && open > 0 && close != std::string_view::npos)
                Name.assign(line.substr(open + 1, close - open - 1));
        } else if (text::StartsWithNoCase(line, "when")) {
            part = Part::When;
        } else if (text::StartsWithNoCase(line, "then")) {
            part = Part::Then;
        } else if (text::StartsWithNoCase(line, "priority") ||
                   text::StartsWithNoCase(line, "#priority")) {
            const auto blank = line.find(' ');
            if (blank != std::string_view::npos && blank > 0)
                Priority.assign(line.substr(blank + 1));
        } else if (text::StartsWithNoCase(line, "end")) {
            break;
        } else if (part == Part::When) {
            conditionLines.push_back(line);
        } else if (part == Part::Then) {
            consequenceLines.push_back(line);
        }
    }

    for (const std::string_view line : conditionLines) {
        // The stored text joins all conditions: "and" lines are display only.
        if (text::EqualsNoCase(line, "and") || text::EqualsNoCase(line, "or"))
            continue;
        auto condition = std::make_unique<RuleCondition>();
        condition->ParseLine(line, ++LastConditionIndex);
        Conditions.Add(std::move(condition));
    }
    UpdateSummary();

    for (std::size_t cursor = 0; cursor < consequenceLines.size();) {
        auto consequence = std::make_unique<RuleConsequence>();
        consequence->Rule = this;
        consequence->ParseLines(consequenceLines, cursor, ++LastConsequenceIndex);
        Consequences.Add(std::move(consequence));
    }

    UpdateForNewField();
    UpdateFieldTags();
    Index = index;
    DisplayLines = std::move(cleaned);
}

void RuleComponent::UpdateSummary() {
    Summary.clear();
    for (const auto& condition : Conditions) {
        if (condition.Kind != condition_kind::Comment) {
            Summary = "When " + condition.Text;
            return;
        }
    }
}

void RuleComponent::UpdateForNewField() {
    for (std::size_t i = 0; i < Consequences.size(); ++i) {
        RuleConsequence& consequence = Consequences[i];
        if (consequence.Kind != qk::AddSubfield) {
            consequence.ForNewField = false;
            continue;
        }
        bool afterAddField = false;
        for (std::size_t j = 0; j < i && !afterAddField; ++j)
            afterAddField =
                Consequences[j].Kind == qk::AddField && Consequences[j].Field == consequence.Field;
        const bool changed = consequence.ForNewField != afterAddField;
        consequence.SetForNewField(afterAddField);
        // A line in error stays as it was read.
        if ((afterAddField || changed) && !consequence.HasError())
            consequence.Render();
    }
}

void RuleComponent::UpdateFieldTags() {
    FieldTags.clear();
    for (const auto& condition : Conditions)
        if (condition.IsFieldCondition)
            FieldTags.push_back(condition.Field);
    for (auto& condition : Conditions) {
        if (condition.SourceField.empty() ||
            std::find(FieldTags.begin(), FieldTags.end(), condition.SourceField) != FieldTags.end())
            continue;
        condition.SourceField.clear();
        if (!condition.HasError())
            condition.Render();
    }
}

std::string RuleComponent::ToText() const {
    std::string out;
    AppendText(out);
    return out;
}

void RuleComponent::AppendText(std::string& out) const {
    out.append("rule \"").append(Name).append("\"").append(kCrLf);
    out.append("#priority ").append(Priority.empty() ? "n" : Priority).append(kCrLf);
    out.append("  when").append(kCrLf);
    for (const auto& condition : Conditions) {
        if (condition.Kind != condition_kind::Comment)
            out.append(kIndent);
        out.append(condition.Text).append(kCrLf);
    }
    out.append("  then").append(kCrLf);
    for (const auto& consequence : Consequences) {
        for (const auto& line : consequence.Lines) {
            if (consequence.Kind != qk::Comment)
                out.append(kIndent);
            out.append(line).append(kCrLf);
        }
    }
    out.append("end").append(kCrLf).append(kCrLf);
}

const std::vector<std::string>& RuleComponent::ToLines() {
    std::vector<std::string> lines;
    lines.push_back("rule \"" + Name + "\"");
    lines.emplace_back("  when");
    bool joined = false;
    for (const auto& condition : Conditions) {
        if (condition.Kind == condition_kind::Comment) {
            lines.push_back(condition.Text);
            continue;
        }
        if (joined)
            lines.push_back(std::string(kIndent) + condition.Conjunction);
        lines.push_back(std::string(kIndent) + condition.Text);
        joined = true;
    }
    lines.emplace_back("  then");
    for (const auto& consequence : Consequences)
        for (const auto& line : consequence.Lines)
            lines.push_back(consequence.Kind == qk::Comment ? line : std::string(kIndent) + line);
    lines.emplace_back("end");
    DisplayLines = std::move(lines);
    return DisplayLines;
}

RuleCondition& RuleComponent::AddCondition(RuleCondition condition, bool withConjunction) {
    if (withConjunction)
        condition.Conjunction = "AND";
    condition.Render(++LastConditionIndex);
    RuleCondition& added = Conditions.Add(std::make_unique<RuleCondition>(std::move(condition)));
    UpdateForNewField();
    UpdateFieldTags();
    UpdateSummary();
    return added;
}

bool RuleComponent::ReplaceCondition(const RuleCondition& edited) {
    RuleCondition* stored = Conditions.Find(edited.Key());
    if (!stored)
        return false;
    *stored = edited;
    stored->Render();
    UpdateForNewField();
    UpdateFieldTags();
    UpdateSummary();
    return true;
}

bool RuleComponent::RemoveCondition(std::string_view keyView) {
    // The key may belong to a consequence cleared below.
    const std::string key(keyView);
    // The copy paired with a target line no longer has one.
    for (auto& consequence : Consequences) {
        if (consequence.TargetRef == key) {
            consequence.TargetRef.clear();
            consequence.TargetCondition = nullptr;
        }
    }
    if (!Conditions.Remove(key))
        return false;
    UpdateFieldTags();
    UpdateSummary();
    return true;
}

bool RuleComponent::MoveCondition(std::string_view key, bool up) {
    const auto at = Conditions.IndexOf(key);
    if (at < 0)
        return false;
    const auto index = static_cast<std::size_t>(at);
    if ((up && index == 0) || (!up && index + 1 >= Conditions.size()))
        return false;
    const std::size_t other = up ? index - 1 : index + 1;
    RuleCondition& a = Conditions[index];
    RuleCondition& b = Conditions[other];
    // The condition that comes first afterwards keeps no conjunction.
    if (a.Kind != condition_kind::Comment && b.Kind != condition_kind::Comment)
        std::swap(a.Conjunction, b.Conjunction);
    Conditions.Swap(index, other);
    UpdateSummary();
    return true;
}

RuleConsequence& RuleComponent::AddConsequence(RuleConsequence consequence) {
    consequence.Rule = this;
    consequence.LineIndex = ++LastConsequenceIndex;
    consequence.Render();
    RuleConsequence& added =
        Consequences.Add(std::make_unique<RuleConsequence>(std::move(consequence)));
    UpdateForNewField();
    return added;
}

bool RuleComponent::ReplaceConsequence(const RuleConsequence& edited) {
    RuleConsequence* stored = Consequences.Find(edited.Key());
    if (!stored)
        return false;
    *stored = edited;
    stored->Rule = this;
    stored->Render();
    UpdateForNewField();
    return true;
}

bool RuleComponent::RemoveConsequence(std::string_view key) {
    RuleConsequence* stored = Consequences.Find(key);
    if (!stored)
        return false;
    stored->ReleaseTarget();
    Consequences.Remove(key);
    UpdateForNewField();
    return true;
}

bool RuleComponent::MoveConsequence(std::string_view key, bool up) {
    const auto at = Consequences.IndexOf(key);
    if (at < 0)
        return false;
    const auto index = static_cast<std::size_t>(at);
    if ((up && index == 0) || (!up && index + 1 >= Consequences.size()))
        return false;
    Consequences.Swap(index, up ? index - 1 : index + 1);
    UpdateForNewField();
    return true;
}

RuleCondition* RuleComponent::FindTargetCondition(std::string_view tag) {
    for (auto& condition : Conditions)
        if (condition.Kind == condition_kind::Target && condition.Field == tag)
            return &condition;
    return nullptr;
}

std::optional<AddFieldPairViolation> RuleComponent::CheckAddFieldPairs() const {
    for (std::size_t i = 0; i < Consequences.size(); ++i) {
        const RuleConsequence& addField = Consequences[i];
        if (addField.Kind != qk::AddField)
            continue;
        bool paired = false;
        for (std::size_t j = i + 1; j < Consequences.size() && !paired; ++j)
            paired =
                Consequences[j].Kind == qk::AddSubfield && Consequences[j].Field == addField.Field;
        if (!paired) {
            return AddFieldPairViolation{&addField,
                                         std::string(kAddFieldPairMessage) +
                                             "\r\nViolating rule is: " + addField.DisplayText};
        }
    }
    return std::nullopt;
}

} // namespace rules
