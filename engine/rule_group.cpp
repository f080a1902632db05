#include "rule_group.h"

#include "compiled_rule.h"
#include "control_variables.h"
#include "rule_document.h"

#include "marc/iso2709.h"

#include <algorithm>
#include <charconv>

namespace engine {

namespace ck = rules::condition_kind;
namespace qk = rules::consequence_kind;

namespace {

// Collects the faults of one rule, each named by its document and rule.
class Faults {
public:
    Faults(std::vector<std::string>& errors, const std::string& document, const std::string& rule)
        : errors_(errors), prefix_(document + ": rule \"" + rule + "\": ") {}
    void add(std::string_view message) { errors_.push_back(prefix_ + std::string(message)); }

private:
    std::vector<std::string>& errors_;
    std::string prefix_;
};

std::optional<std::int32_t> priorityOf(const std::string& text) {
    if (text.empty() || text == "n" || text == "N")
        return 0;
    std::int32_t value = 0;
    const char* end = text.data() + text.size();
    const auto [at, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || at != end)
        return std::nullopt;
    return value;
}

bool isControlPattern(const TagPattern& tag) {
    return tag.isLeader() || (tag.prefixLength == 3 && marc::isControlTag(tag.tag));
}

FieldSelector referenceSelector(std::string_view field, std::string_view ind1,
                                std::string_view ind2, std::int32_t occurrence,
                                std::string_view codes, std::int32_t subfieldOccurrence) {
    FieldSelector s;
    s.tag = TagPattern::from(field);
    s.indicator1 = FieldSelector::indicator(ind1);
    s.indicator2 = FieldSelector::indicator(ind2);
    s.occurrence = occurrence;
    s.codes.assign(codes);
    s.subfieldOccurrence = subfieldOccurrence;
    return s;
}

// A control field's range, its variable resolved; false when the variable is unknown.
bool controlRange(std::string_view tag, std::string_view variable, std::int32_t start,
                  std::int32_t end, ControlRange& out) {
    out.tag = TagPattern::from(tag);
    out.start = start;
    out.end = end;
    if (variable.empty())
        return true;
    const rules::ControlVariable* v = rules::FindControlVariable(out.tag.tag, variable);
    if (!v)
        return false;
    out.start = v->start;
    out.end = v->end;
    return true;
}

bool usesFacts(std::int32_t conditionKind) {
    switch (conditionKind) {
    case ck::CreateDate:
    case ck::CreatedBy:
    case ck::UpdateDate:
    case ck::UpdatedBy:
    case ck::OwningLibrary:
    case ck::OpacSuppress:
        return true;
    default:
        return false;
    }
}

bool isStatusLine(const rules::RuleCondition& c) {
    return (c.Kind == ck::Comment && c.ErrorText == rules::kCommentStatus) ||
           (c.Kind == ck::Target && c.ErrorText == rules::kTargetStatus);
}

CompiledCondition compileCondition(const rules::RuleCondition& c, Faults& faults) {
    CompiledCondition out;
    out.line = &c;
    out.kind = c.Kind;
    switch (c.Kind) {
    case ck::FieldValue:
        out.anyField = c.Field.empty();
        if (!c.SourceField.empty())
            out.narrowsTag = TagPattern::from(c.SourceField).tag;
        [[fallthrough]];
    case ck::FieldExists:
    case ck::FieldNxxExists:
    case ck::FieldNnxExists:
    case ck::FieldHasAny:
    case ck::FieldDoesNotHave:
    case ck::Target:
        out.selector = referenceSelector(c.Field, c.Indicator1, c.Indicator2, c.FieldOccurrence,
                                         c.Subfields, c.SubfieldOccurrence);
        break;
    case ck::ControlFieldExists:
    case ck::ControlFieldValue:
    case ck::ControlExpression:
        if (!controlRange(c.ControlField, c.ControlVariable, c.ByteStart, c.ByteEnd,
                          out.control))
            faults.add("unknown control variable \"" + c.ControlVariable + "\": " + c.Text);
        break;
    case ck::OwningLibrary: {
        std::string_view list = c.OwningLibraries;
        while (!list.empty()) {
            const std::size_t bar = list.find('|');
            const std::string_view code = list.substr(0, bar);
            if (!code.empty())
                out.libraries.emplace_back(code);
            list = bar == std::string_view::npos ? std::string_view{} : list.substr(bar + 1);
        }
        break;
    }
    default:
        break;
    }
    return out;
}

std::optional<std::size_t> conditionIndex(const rules::RuleComponent& rule,
                                          const rules::RuleCondition* target) {
    std::size_t i = 0;
    for (const rules::RuleCondition& c : rule.Conditions) {
        if (&c == target)
            return i;
        ++i;
    }
    return std::nullopt;
}

void compileExpression(const rules::RuleConsequence& q, CompiledConsequence& out,
                       Faults& faults) {
    rules::RuleCondition e;
    const std::string error = e.ParseExpression(q.Expression);
    if (!error.empty()) {
        faults.add(error);
        return;
    }
    if (e.Kind == ck::ControlExpression) {
        ControlRange range;
        if (!controlRange(e.ControlField, e.ControlVariable, e.ByteStart, e.ByteEnd, range))
            faults.add("unknown control variable in \"" + q.Expression + "\"");
        out.expressionControl = range;
        return;
    }
    out.expression = referenceSelector(e.Field, e.Indicator1, e.Indicator2, e.FieldOccurrence,
                                       e.Subfields, e.SubfieldOccurrence);
}

CompiledConsequence compileConsequence(const rules::RuleComponent& rule,
                                       const rules::RuleConsequence& q, Faults& faults) {
    CompiledConsequence out;
    out.line = &q;
    out.kind = q.Kind;
    const std::string& text = q.Text;
    switch (q.Kind) {
    case qk::RemoveControlField:
        out.control.tag = TagPattern::from(q.ControlField);
        if (out.control.tag.isLeader())
            faults.add("the leader cannot be removed: " + text);
        break;
    case qk::RemoveField:
    case qk::SetSubfield:
    case qk::AddField:
    case qk::AddSubfield:
        out.selector = referenceSelector(q.Field, q.Indicator1, q.Indicator2, q.FieldOccurrence,
                                         q.Subfield, q.SubfieldOccurrence);
        if (q.Kind == qk::SetSubfield && !q.ControlField.empty())
            faults.add("a control field has no subfields to set: " + text);
        break;
    case qk::Copy:
    case qk::CopyDeprecated:
        // A copy's indicators are those of the new field, not a choice of source.
        out.selector = referenceSelector(q.Field, "#", "#", q.FieldOccurrence, q.Subfield,
                                         q.SubfieldOccurrence);
        break;
    case qk::ChangeMarc:
        // The indicator form carries the new value in Indicator1: every
        // field of the tag is selected.
        out.selector = referenceSelector(q.Field, "#", "#", q.FieldOccurrence, q.Subfield,
                                         q.SubfieldOccurrence);
        break;
    case qk::AddControlField:
        out.control.tag = TagPattern::from(q.ControlField);
        if (out.control.tag.isLeader() && q.Value.size() != marc::LeaderLength)
            faults.add("a leader must be 24 characters long: " + text);
        else if (!out.control.tag.isLeader() && !marc::isControlTag(out.control.tag.tag))
            faults.add("a control field is added under one control field tag: " + text);
        break;
    case qk::ReplaceAtPosition:
    case qk::ReplaceWithString:
        if (!q.ControlField.empty())
            out.control.tag = TagPattern::from(q.ControlField);
        else
            out.selector = referenceSelector(q.Field, "#", "#", kAnyOccurrence, q.Subfield,
                                             kAnyOccurrence);
        break;
    default:
        break;
    }

    switch (q.Kind) {
    case qk::Copy:
    case qk::CopyDeprecated: {
        if (!q.TargetSubfield.empty())
            out.targetCode = q.TargetSubfield.front();
        // Into a new field: the tag it gets. Into an existing one: the
        // target line picks the field.
        if (!q.TargetField.empty()) {
            const TagPattern target = TagPattern::from(q.TargetField);
            out.targetTag = target.tag;
            if (out.targetTag.size() != 3 || target.prefixLength != 3 || target.isLeader())
                faults.add("a copy needs a single field tag to copy to: " + text);
        }
        if (q.Kind == qk::Copy && q.ToExisting == 1) {
            const auto index = conditionIndex(rule, q.TargetCondition);
            if (!index)
                faults.add("matching TARGET MARC condition not found: " + text);
            else
                out.targetCondition = *index;
        }
        break;
    }
    case qk::ChangeMarc:
        if (!q.TargetSubfield.empty()) {
            out.targetCode = q.TargetSubfield.front();
        } else if (q.IndicatorNumber >= 1) {
            if (q.IndicatorNumber > 2)
                faults.add("a field has indicators 1 and 2 only: " + text);
        } else {
            const TagPattern target = TagPattern::from(q.TargetField);
            out.targetTag = target.tag;
            if (target.prefixLength != 3 || target.tag.size() != 3 || target.isLeader())
                faults.add("a field can only be given a single tag: " + text);
            else if (isControlPattern(target) != isControlPattern(out.selector.tag))
                faults.add("a control field and a data field cannot take each other's tags: " +
                           text);
        }
        break;
    case qk::AddField:
        if (out.selector.tag.prefixLength != 3 || out.selector.tag.isLeader() ||
            marc::isControlTag(out.selector.tag.tag))
            faults.add("a data field is added under one data field tag: " + text);
        break;
    case qk::AddSubfield:
        if (!q.Expression.empty())
            compileExpression(q, out, faults);
        if (!q.OrderSubfield.empty()) {
            if (q.OrderKeyword == "after")
                out.placeAfter = true;
            else if (q.OrderKeyword != "before")
                faults.add("a placement is \"before\" or \"after\": " + text);
        }
        break;
    case qk::ReplaceWithString: {
        std::string error;
        out.pattern = ReplacePattern::compile(q.SearchString, q.IsPattern, error);
        if (!out.pattern)
            faults.add(error);
        break;
    }
    default:
        break;
    }
    return out;
}

// Every disposition but CHANGED and ERROR: deletion asks about holdings,
// items and orders, suppression sets what the catalogue keeps.
bool consequenceUsesFacts(const rules::RuleConsequence& q) {
    constexpr std::int32_t changed = 0;
    constexpr std::int32_t error = 7;
    if (q.Kind == qk::RecordDisposition)
        return q.Disposition != changed && q.Disposition != error;
    return q.Kind == qk::ChangeOwningLibrary || q.Kind == qk::ExportOption ||
           q.ChangeOwningLibrary;
}

} // namespace

RuleGroup::RuleGroup() = default;
RuleGroup::~RuleGroup() = default;

RuleGroup::CompileResult RuleGroup::compile(const std::vector<GroupDocument>& documents) {
    CompileResult result;
    std::unique_ptr<RuleGroup> group(new RuleGroup);
    for (const GroupDocument& source : documents) {
        auto document = std::make_unique<rules::RuleDocument>();
        document->Name = source.name;
        document->LoadText(source.text);
        std::vector<CompiledRule> compiled;
        for (const rules::RuleComponent& rule : document->Rules) {
            Faults faults(result.errors, source.name, rule.Name);
            CompiledRule r;
            r.name = rule.Name;
            r.document = source.name;
            if (const auto priority = priorityOf(rule.Priority))
                r.priority = *priority;
            else
                faults.add("priority \"" + rule.Priority + "\" is not a whole number or n");
            for (const rules::RuleCondition& c : rule.Conditions) {
                if (c.HasError() && !isStatusLine(c)) {
                    faults.add(c.ErrorText);
                    continue;
                }
                r.usesFacts = r.usesFacts || usesFacts(c.Kind);
                r.conditions.push_back(compileCondition(c, faults));
            }
            for (const rules::RuleConsequence& q : rule.Consequences) {
                if (q.Kind == qk::Comment)
                    continue;
                if (q.HasError()) {
                    faults.add(q.ErrorText);
                    continue;
                }
                r.usesFacts = r.usesFacts || consequenceUsesFacts(q);
                r.consequences.push_back(compileConsequence(rule, q, faults));
            }
            compiled.push_back(std::move(r));
        }
        std::stable_sort(compiled.begin(), compiled.end(),
                         [](const CompiledRule& a, const CompiledRule& b) {
                             return a.priority > b.priority;
                         });
        for (CompiledRule& r : compiled)
            group->rules_.push_back(std::move(r));
        group->documents_.push_back(std::move(document));
    }
    if (result.errors.empty())
        result.group = std::move(group);
    return result;
}

std::vector<std::string> RuleGroup::factRules() const {
    std::vector<std::string> names;
    for (const CompiledRule& r : rules_)
        if (r.usesFacts)
            names.push_back(r.name);
    return names;
}

} // namespace engine
