#include "record_preview.h"

#include "field_order.h"
#include "group_runner.h"
#include "marc/record_view.h"
#include "preview_location.h"
#include "rule_group.h"
#include "rulerun/catalogue_facts.h"
#include "rulerun/compiled_group_cache.h"

#include <optional>

namespace orvane::server {

namespace {

// What the rules would change of what the catalogue keeps beside the MARC
// data: it does not show in the records, so it is said.
void describeFactChanges(const engine::FactChanges& facts, std::vector<std::string>& out) {
    if (facts.suppressed)
        out.push_back(std::string(facts.holdingsToo ? "Record and its holdings" : "Record") +
                      (*facts.suppressed ? " would be suppressed from the OPAC."
                                         : " would no longer be suppressed from the OPAC."));
    if (facts.owningLibrary)
        out.push_back("Owning library would be set to " + *facts.owningLibrary + ".");
    if (facts.location)
        out.push_back("Location would be set to " + *facts.location + ".");
    if (facts.okToExport)
        out.push_back(*facts.okToExport ? "OK to export would be set."
                                        : "OK to export would be unset.");
    if (facts.okToExportDate)
        out.push_back("OK to export date would be set to " + *facts.okToExportDate + ".");
}

} // namespace

RecordPreview previewRecord(Database& db, const CompiledGroup& group, const CatalogueRecord& record,
                            const PreviewSettings& settings) {
    RecordPreview preview;
    preview.before = record.marc;
    preview.after = record.marc;
    if (!group.group) {
        preview.code = engine::disposition::CompileFailure;
        preview.messages = group.errors;
        return preview;
    }
    const PreviewLocation location =
        previewLocation(db, group.source.id, record.facts, settings.operatorRow);
    if (location.code != 0) {
        preview.code = location.code;
        return preview;
    }
    const marc::ParseResult parsed = marc::parseRecord(std::string_view(preview.before));
    if (!parsed.record) {
        preview.code = engine::disposition::ExecutionFailed;
        preview.messages.push_back("The stored record cannot be read: " +
                                   (parsed.error ? parsed.error->reason : std::string("?")));
        return preview;
    }

    std::optional<engine::FieldOrder> order;
    if (!settings.fieldOrder.empty()) {
        std::string error;
        order = engine::FieldOrder::parse(settings.fieldOrder, error);
        if (!order)
            preview.messages.push_back("The field order configuration is not used: " + error);
    }
    engine::RunParameters parameters;
    parameters.kind = engine::GroupKind::DataChange;
    parameters.locationId = location.location;
    parameters.mayDelete = settings.mayDelete;
    engine::GroupRunner runner(*group.group, parameters, order ? &*order : nullptr);
    const engine::RecordOutcome outcome = runner.apply(*parsed.record, record.facts);

    // A deleted record, or one in error, is kept as it came in, as the job's
    // result files keep it.
    if (outcome.outcome == engine::Outcome::Changed && !outcome.record.empty())
        preview.after = outcome.record;
    if (!outcome.codes.empty())
        preview.code = outcome.codes.front();
    preview.messages.insert(preview.messages.end(), outcome.messages.begin(),
                            outcome.messages.end());
    describeFactChanges(outcome.facts, preview.messages);
    for (const std::string& rule : outcome.firedRules)
        preview.messages.push_back("Rule fired: " + rule);
    return preview;
}

} // namespace orvane::server
