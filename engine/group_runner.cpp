#include "group_runner.h"

#include "compiled_rule.h"
#include "field_order.h"
#include "record_run.h"
#include "rule_group.h"
#include "work_record.h"

#include "marc/record_view.h"

#include <chrono>
#include <cstdio>

namespace engine {

namespace {

std::string todayText() {
    const std::chrono::year_month_day day{
        std::chrono::floor<std::chrono::days>(std::chrono::system_clock::now())};
    char text[16];
    std::snprintf(text, sizeof text, "%04d%02u%02u", static_cast<int>(day.year()),
                  static_cast<unsigned>(day.month()), static_cast<unsigned>(day.day()));
    return text;
}

void clear(RecordOutcome& out) {
    out.outcome = Outcome::Unchanged;
    out.record.clear();
    out.codes.clear();
    out.firedRules.clear();
    out.included = false;
    out.facts = {};
    out.withHoldings = false;
    out.messages.clear();
}

} // namespace

std::string_view toString(Outcome outcome) {
    switch (outcome) {
    case Outcome::Changed:
        return "changed";
    case Outcome::Deleted:
        return "deleted";
    case Outcome::Error:
        return "error";
    default:
        return "unchanged";
    }
}

GroupRunner::GroupRunner(const RuleGroup& group, RunParameters parameters,
                         const FieldOrder* order)
    : group_(group), parameters_(std::move(parameters)), order_(order),
      work_(std::make_unique<WorkRecord>()) {
    if (parameters_.today.empty())
        parameters_.today = todayText();
    run_ = std::make_unique<RecordRun>(*work_, parameters_);
}

GroupRunner::~GroupRunner() = default;

RecordOutcome GroupRunner::apply(const marc::RecordView& record, const RecordFacts& facts) {
    RecordOutcome out;
    apply(record, facts, out);
    return out;
}

void GroupRunner::apply(const marc::RecordView& view, const RecordFacts& facts,
                        RecordOutcome& out) {
    clear(out);
    WorkRecord& record = *work_;
    record.load(view);
    RecordRun& run = *run_;
    run.begin(facts, out, view.characterCoding() == marc::CharacterCoding::Unicode);

    for (const CompiledRule& rule : group_.rules()) {
        run.startRule(rule.conditions.size());
        bool fires = true;
        for (std::size_t i = 0; i < rule.conditions.size() && fires; ++i)
            fires = conditionHolds(rule.conditions[i], i, run);
        if (!fires)
            continue;
        out.firedRules.push_back(rule.name);
        for (const CompiledConsequence& q : rule.consequences) {
            applyConsequence(q, run);
            if (run.ended)
                break;
        }
        if (run.ended)
            break;
        // A field added by the rule that no Add MARC Subfield filled.
        for (const auto& [tag, id] : run.newFields) {
            const auto index = record.indexOf(id);
            if (index && record.field(*index).subfields().empty())
                record.remove(*index);
        }
    }

    if (parameters_.kind == GroupKind::Scan)
        out.included = run.include && !run.exclude;
    if (run.ended)
        return;
    bool changed = run.forceChanged || out.facts.any();
    if (record.touched()) {
        const auto error = record.write(out.record);
        if (error) {
            out.record.clear();
            out.codes.push_back(disposition::ExecutionFailed);
            run.fail(*error);
            return;
        }
        changed = changed || out.record != record.original();
    }
    if (!changed) {
        out.record.clear();
        return;
    }
    out.outcome = Outcome::Changed;
    if (order_ && !order_->empty()) {
        order_->apply(record);
        out.record.clear();
        // Reordering keeps every field, so the length cannot grow past the limit.
        record.write(out.record);
    } else if (out.record.empty()) {
        out.record.assign(record.original());
    }
}

} // namespace engine
