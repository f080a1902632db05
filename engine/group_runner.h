#pragma once
// Applies a compiled rule set group to one record at a time. A runner keeps
// its working buffers from record to record; use one per thread.

#include "record_facts.h"
#include "record_outcome.h"
#include "run_parameters.h"

#include <memory>
#include <string_view>

namespace marc {
class RecordView;
}

namespace engine {

class FieldOrder;
class RuleGroup;
class WorkRecord;

struct RecordRun;

class GroupRunner {
public:
    // The group and the order (if any) must outlive the runner.
    GroupRunner(const RuleGroup& group, RunParameters parameters,
                const FieldOrder* order = nullptr);
    ~GroupRunner();
    GroupRunner(const GroupRunner&) = delete;
    GroupRunner& operator=(const GroupRunner&) = delete;

    // `out` is cleared first, so one outcome can be reused for every record.
    void apply(const marc::RecordView& record, const RecordFacts& facts, RecordOutcome& out);
    RecordOutcome apply(const marc::RecordView& record, const RecordFacts& facts);

private:
    const RuleGroup& group_;
    RunParameters parameters_;
    const FieldOrder* order_;
    std::unique_ptr<WorkRecord> work_;
    std::unique_ptr<RecordRun> run_;
};

} // namespace engine
