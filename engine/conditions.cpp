// The condition kinds: what each tests on the record and its facts.
#include "compiled_rule.h"
#include "record_run.h"
#include "rule_condition.h"

#include <algorithm>
#include <cctype>

namespace engine {

namespace ck = rules::condition_kind;
namespace op = rules::condition_operator;

namespace {

bool isNegative(std::int32_t oper) {
    return oper == op::DoesNotEqual || oper == op::DoesNotContain;
}

// The comparison itself; the negative operators test their positive form
// here and are turned round by the caller.
bool compares(std::int32_t oper, std::string_view v, const rules::RuleCondition& c) {
    switch (oper) {
    case op::Equals:
    case op::DoesNotEqual:
        return v == c.Value1;
    case op::Contains:
    case op::DoesNotContain:
        return v.find(c.Value1) != std::string_view::npos;
    case op::StartsWith:
        return v.starts_with(c.Value1);
    case op::Between:
        return c.Value1 <= v && v <= c.Value2;
    default:
        return false;
    }
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// The bytes of a control field in the range; nothing when it runs past the end.
std::optional<std::string_view> rangeOf(std::string_view data, const ControlRange& range) {
    if (range.whole())
        return data;
    if (range.end < range.start || static_cast<std::size_t>(range.end) > data.size())
        return std::nullopt;
    return data.substr(static_cast<std::size_t>(range.start),
                       static_cast<std::size_t>(range.end - range.start));
}

// Does some selected value of the field compare (in the positive sense)?
bool fieldCompares(const CompiledCondition& c, const marc::FieldView& field, RecordRun& run) {
    const rules::RuleCondition& line = *c.line;
    if (!c.selector.namesSubfields()) {
        fieldValue(field, run.value);
        return compares(line.Operator, run.value, line);
    }
    c.selector.selectSubfields(field, run.subfields);
    if (run.subfields.empty())
        return false;
    std::size_t position = 0;
    auto next = run.subfields.begin();
    for (const marc::SubfieldView& s : field.subfields()) {
        if (next == run.subfields.end())
            break;
        if (position++ != *next)
            continue;
        ++next;
        if (compares(line.Operator, s.value, line))
            return true;
    }
    return false;
}

// The per-field test of the field kinds.
bool holdsOnField(const CompiledCondition& c, const marc::FieldView& field, RecordRun& run) {
    switch (c.kind) {
    case ck::FieldExists:
    case ck::Target:
        if (c.kind == ck::Target && c.line->TargetHasAny) {
            for (const marc::SubfieldView& s : field.subfields())
                if (c.selector.selectsCode(s.code))
                    return true;
            return c.selector.codes.empty();
        }
        if (!c.selector.namesSubfields())
            return true;
        c.selector.selectSubfields(field, run.subfields);
        return !run.subfields.empty();
    case ck::FieldHasAny:
        c.selector.selectSubfields(field, run.subfields);
        return !run.subfields.empty();
    case ck::FieldDoesNotHave:
        if (field.isControl())
            return true;
        for (const marc::SubfieldView& s : field.subfields())
            if (c.selector.selectsCode(s.code))
                return false;
        return true;
    case ck::FieldValue:
        if (c.line->Operator == op::None) {
            if (!c.selector.namesSubfields())
                return true;
            c.selector.selectSubfields(field, run.subfields);
            return !run.subfields.empty();
        }
        return fieldCompares(c, field, run) != isNegative(c.line->Operator);
    default:
        return false;
    }
}

std::vector<std::size_t>* narrowedFor(RecordRun& run, const std::string& tag) {
    for (auto& [t, fields] : run.narrowed)
        if (t == tag)
            return &fields;
    return nullptr;
}

// Remembers the fields of an exact tag that satisfied a condition, so that
// a later from-clause on the tag tests only those.
void narrow(RecordRun& run, const CompiledCondition& c, bool fromClause) {
    const TagPattern& tag = c.selector.tag;
    if (tag.prefixLength != 3 || tag.isLeader())
        return;
    std::vector<std::size_t>* kept = narrowedFor(run, tag.tag);
    if (!kept) {
        run.narrowed.emplace_back(tag.tag, run.witnesses);
        return;
    }
    if (!fromClause) {
        std::vector<std::size_t> both;
        std::set_intersection(kept->begin(), kept->end(), run.witnesses.begin(),
                              run.witnesses.end(), std::back_inserter(both));
        *kept = std::move(both);
    } else {
        *kept = run.witnesses;
    }
}

bool fieldConditionHolds(const CompiledCondition& c, std::size_t index, RecordRun& run) {
    const WorkRecord& record = run.record;
    const bool leader = c.selector.tag.isLeader();
    if (leader) {
        if (c.kind != ck::FieldValue || c.line->Operator == op::None)
            return true;
        return compares(c.line->Operator, record.leader(), *c.line) !=
               isNegative(c.line->Operator);
    }
    c.selector.selectFields(record, run.fields);
    const bool fromClause = c.narrowsTag && *c.narrowsTag == c.selector.tag.tag;
    if (fromClause) {
        if (const std::vector<std::size_t>* kept = narrowedFor(run, c.selector.tag.tag)) {
            std::erase_if(run.fields, [kept](std::size_t f) {
                return !std::binary_search(kept->begin(), kept->end(), f);
            });
        }
    }
    run.witnesses.clear();
    for (const std::size_t f : run.fields)
        if (holdsOnField(c, record.field(f), run))
            run.witnesses.push_back(f);
    bool holds = !run.witnesses.empty();
    // "Does not equal" and "does not contain" hold when no selected value
    // matches anywhere, also when there is none; under a from-clause they
    // must hold on one field, like every condition that shares the tag.
    if (c.kind == ck::FieldValue && isNegative(c.line->Operator) && !fromClause)
        holds = run.witnesses.size() == run.fields.size();
    if (holds && c.kind != ck::Target)
        narrow(run, c, fromClause);
    if (holds && c.kind == ck::Target)
        run.targets[index] = record.id(run.witnesses.front());
    return holds;
}

bool anyFieldHolds(const CompiledCondition& c, RecordRun& run) {
    const rules::RuleCondition& line = *c.line;
    if (line.Operator == op::None)
        return run.record.size() > 0;
    const bool negative = isNegative(line.Operator);
    for (std::size_t i = 0; i < run.record.size(); ++i) {
        fieldValue(run.record.field(i), run.value);
        if (compares(line.Operator, run.value, line))
            return !negative;
    }
    return negative;
}

bool controlHolds(const CompiledCondition& c, RecordRun& run) {
    const rules::RuleCondition& line = *c.line;
    const bool test = c.kind == ck::ControlFieldValue && line.Operator != op::None;
    const bool negative = test && isNegative(line.Operator);
    const auto check = [&](std::string_view data) -> std::optional<bool> {
        const auto bytes = rangeOf(data, c.control);
        if (!bytes)
            return std::nullopt;
        if (!test)
            return true;
        return compares(line.Operator, *bytes, line);
    };
    bool any = false;
    if (c.control.tag.isLeader()) {
        any = check(run.record.leader()).value_or(false);
    } else {
        for (std::size_t i = 0; i < run.record.size() && !any; ++i) {
            const marc::FieldView f = run.record.field(i);
            if (f.isControl() && c.control.tag.matches(f.tag()))
                any = check(f.value()).value_or(false);
        }
    }
    return any != negative;
}

bool dateHolds(const rules::RuleCondition& c, const std::optional<std::string>& date) {
    if (!date)
        return false;
    switch (c.DateRange) {
    case rules::date_range::Before:
        return *date < c.FirstDate;
    case rules::date_range::After:
        return *date > c.FirstDate;
    default:
        return c.FirstDate <= *date && *date <= c.SecondDate;
    }
}

} // namespace

bool conditionHolds(const CompiledCondition& c, std::size_t index, RecordRun& run) {
    const RecordFacts& facts = run.facts;
    switch (c.kind) {
    case ck::FieldValue:
        if (c.anyField)
            return anyFieldHolds(c, run);
        return fieldConditionHolds(c, index, run);
    case ck::FieldExists:
    case ck::FieldHasAny:
    case ck::FieldDoesNotHave:
    case ck::Target:
        return fieldConditionHolds(c, index, run);
    case ck::FieldNxxExists:
    case ck::FieldNnxExists:
        for (std::size_t i = 0; i < run.record.size(); ++i)
            if (c.selector.tag.matches(run.record.tag(i)))
                return true;
        return false;
    case ck::ControlFieldExists:
    case ck::ControlFieldValue:
        return controlHolds(c, run);
    case ck::CreateDate:
        return dateHolds(*c.line, facts.createdDate);
    case ck::UpdateDate:
        return dateHolds(*c.line, facts.updatedDate);
    case ck::CreatedBy:
        return facts.createdBy && equalsIgnoringCase(*facts.createdBy, c.line->Value1);
    case ck::UpdatedBy:
        return facts.updatedBy && equalsIgnoringCase(*facts.updatedBy, c.line->Value1);
    case ck::OwningLibrary: {
        if (!facts.owningLibrary)
            return false;
        // The list may name the library by its code or by its name.
        const auto listed = [&](const std::optional<std::string>& name) {
            return name && std::find(c.libraries.begin(), c.libraries.end(), *name) !=
                               c.libraries.end();
        };
        const bool in = listed(facts.owningLibrary) || listed(facts.owningLibraryName);
        return in == c.line->OwningLibraryIn;
    }
    case ck::OpacSuppress:
        return facts.suppressed && *facts.suppressed == c.line->Suppressed;
    case ck::Comment:
        return true;
    default:
        return false;
    }
}

} // namespace engine
