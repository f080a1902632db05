// The consequence kinds: what each does to the record, its facts or its fate.
#include "compiled_rule.h"
#include "record_run.h"
#include "rule_consequence.h"

#include "marc/field.h"

#include <algorithm>

namespace engine {

namespace qk = rules::consequence_kind;

namespace {

constexpr std::int32_t kChanged = 0;
constexpr std::int32_t kDelete = 1;
constexpr std::int32_t kDeleteAll = 2;
constexpr std::int32_t kSuppress = 3;
constexpr std::int32_t kSuppressAll = 4;
constexpr std::int32_t kUnsuppress = 5;
constexpr std::int32_t kUnsuppressAll = 6;
constexpr std::int32_t kError = 7;

char indicatorOrBlank(std::string_view text) {
    return text.empty() || text == "#" ? ' ' : text.front();
}

// Edits field `index` through the editable model and stores the result.
template <typename Edit> void editField(WorkRecord& record, std::size_t index, Edit edit) {
    marc::Field field = marc::Field::fromView(record.field(index));
    if (edit(field))
        record.setData(index, field.data());
}

std::string dataField(char ind1, char ind2, std::initializer_list<marc::Subfield> subfields) {
    marc::Field f = marc::Field::data("999", ind1, ind2, subfields);
    return f.data();
}

// Field indexes from the last to the first, so removals keep the rest valid.
void selectBackwards(const FieldSelector& selector, RecordRun& run) {
    selector.selectFields(run.record, run.fields);
    std::reverse(run.fields.begin(), run.fields.end());
}

void removeControlField(const CompiledConsequence& q, RecordRun& run) {
    for (std::size_t i = run.record.size(); i-- > 0;)
        if (run.record.field(i).isControl() && q.control.tag.matches(run.record.tag(i)))
            run.record.remove(i);
}

void removeFields(const CompiledConsequence& q, RecordRun& run) {
    selectBackwards(q.selector, run);
    for (const std::size_t i : run.fields) {
        if (!q.selector.namesSubfields()) {
            run.record.remove(i);
            continue;
        }
        const marc::FieldView view = run.record.field(i);
        q.selector.selectSubfields(view, run.subfields);
        if (run.subfields.empty())
            continue;
        marc::Field field = marc::Field::fromView(view);
        for (auto at = run.subfields.rbegin(); at != run.subfields.rend(); ++at)
            field.subfields().erase(field.subfields().begin() + static_cast<std::ptrdiff_t>(*at));
        if (field.subfields().empty())
            run.record.remove(i);
        else
            run.record.setData(i, field.data());
    }
}

void setSubfields(const CompiledConsequence& q, RecordRun& run) {
    q.selector.selectFields(run.record, run.fields);
    for (const std::size_t i : run.fields) {
        q.selector.selectSubfields(run.record.field(i), run.subfields);
        if (run.subfields.empty())
            continue;
        editField(run.record, i, [&](marc::Field& f) {
            for (const std::size_t at : run.subfields)
                f.subfields()[at].value = q.line->Value;
            return true;
        });
    }
}

// One selected value of a copy's source: the subfield's code and value, or
// a whole field.
struct CopySource {
    std::uint32_t field;
    char code;
    std::string value;
};

void collectCopySources(const CompiledConsequence& q, RecordRun& run,
                        std::vector<CopySource>& out) {
    q.selector.selectFields(run.record, run.fields);
    for (const std::size_t i : run.fields) {
        const marc::FieldView view = run.record.field(i);
        if (!q.selector.namesSubfields()) {
            out.push_back({run.record.id(i), '\0', std::string(view.data())});
            continue;
        }
        q.selector.selectSubfields(view, run.subfields);
        std::size_t position = 0;
        auto next = run.subfields.begin();
        for (const marc::SubfieldView& s : view.subfields()) {
            if (next != run.subfields.end() && position == *next) {
                out.push_back({run.record.id(i), s.code, std::string(s.value)});
                ++next;
            }
            ++position;
        }
    }
}

// A new field under `tag` holding one copied value.
void addCopiedValue(RecordRun& run, const std::string& tag, char ind1, char ind2, char code,
                    const std::string& value) {
    if (marc::isControlTag(tag))
        run.record.insertInTagOrder(tag, value);
    else
        run.record.insertInTagOrder(tag, dataField(ind1, ind2, {{code, value}}));
}

// A whole field copied under another tag, its indicators kept.
void addCopiedField(RecordRun& run, const std::string& tag, const CopySource& source,
                    std::string_view sourceTag, char code) {
    const bool fromControl = marc::isControlTag(sourceTag);
    const bool toControl = marc::isControlTag(tag);
    if (fromControl == toControl) {
        run.record.insertInTagOrder(tag, source.value);
    } else if (fromControl) {
        // A control field's data goes into a subfield of the new data field.
        addCopiedValue(run, tag, ' ', ' ', code ? code : 'a', source.value);
    } else {
        // A data field's subfield values, joined, become the control field's data.
        fieldValue(marc::FieldView(sourceTag, source.value), run.value);
        run.record.insertInTagOrder(tag, run.value);
    }
}

void copyToExisting(const CompiledConsequence& q, RecordRun& run,
                    const std::vector<CopySource>& sources) {
    const auto& target = run.targets[q.targetCondition];
    if (!target)
        return;
    const auto index = run.record.indexOf(*target);
    if (!index || run.record.field(*index).isControl())
        return;
    editField(run.record, *index, [&](marc::Field& f) {
        for (const CopySource& s : sources) {
            if (s.code) {
                f.addSubfield(s.code, s.value);
                continue;
            }
            if (marc::isControlTag(q.selector.tag.tag)) {
                // As into a new field: a control field's data as one subfield.
                f.addSubfield(q.targetCode ? q.targetCode : 'a', s.value);
                continue;
            }
            for (const marc::SubfieldView& sub :
                 marc::FieldView(q.selector.tag.tag, s.value).subfields())
                f.subfields().push_back({sub.code, std::string(sub.value)});
        }
        return !sources.empty();
    });
}

void copy(const CompiledConsequence& q, RecordRun& run) {
    const rules::RuleConsequence& line = *q.line;
    std::vector<CopySource> sources;
    collectCopySources(q, run, sources);
    if (q.kind == qk::Copy && line.ToExisting == 1) {
        copyToExisting(q, run, sources);
        return;
    }
    const bool deprecated = q.kind == qk::CopyDeprecated;
    // The deprecated form's "subfield" target: a new subfield in the same field.
    if (deprecated && line.TargetField.empty()) {
        for (const CopySource& s : sources) {
            if (const auto index = run.record.indexOf(s.field))
                editField(run.record, *index, [&](marc::Field& f) {
                    f.addSubfield(q.targetCode, s.value);
                    return true;
                });
        }
        return;
    }
    const char ind1 = deprecated ? indicatorOrBlank(line.Indicator1) : ' ';
    const char ind2 = deprecated ? indicatorOrBlank(line.Indicator2) : ' ';
    for (const CopySource& s : sources) {
        if (s.code) {
            addCopiedValue(run, q.targetTag, ind1, ind2, q.targetCode ? q.targetCode : s.code,
                           s.value);
        } else {
            const auto index = run.record.indexOf(s.field);
            const std::string sourceTag(index ? run.record.tag(*index) : q.selector.tag.tag);
            addCopiedField(run, q.targetTag, s, sourceTag, q.targetCode);
        }
    }
}

void changeMarc(const CompiledConsequence& q, RecordRun& run) {
    const rules::RuleConsequence& line = *q.line;
    q.selector.selectFields(run.record, run.fields);
    for (const std::size_t i : run.fields) {
        const marc::FieldView view = run.record.field(i);
        if (q.targetCode) {
            q.selector.selectSubfields(view, run.subfields);
            if (run.subfields.empty())
                continue;
            editField(run.record, i, [&](marc::Field& f) {
                for (const std::size_t at : run.subfields)
                    f.subfields()[at].code = q.targetCode;
                return true;
            });
        } else if (line.IndicatorNumber >= 1) {
            if (view.isControl())
                continue;
            editField(run.record, i, [&](marc::Field& f) {
                std::string indicators(f.indicators());
                if (indicators.size() < 2)
                    indicators.resize(2, ' ');
                indicators[static_cast<std::size_t>(line.IndicatorNumber - 1)] =
                    line.Indicator1.empty() ? ' ' : line.Indicator1.front();
                f.setIndicators(std::move(indicators));
                return true;
            });
        } else {
            run.record.setTag(i, q.targetTag);
        }
    }
}

void addControlField(const CompiledConsequence& q, RecordRun& run) {
    const std::string& value = q.line->Value;
    if (q.control.tag.isLeader()) {
        run.record.setLeader(value);
        return;
    }
    for (std::size_t i = 0; i < run.record.size(); ++i) {
        if (run.record.tag(i) == q.control.tag.tag) {
            run.record.setData(i, value);
            return;
        }
    }
    run.record.insertInTagOrder(q.control.tag.tag, value);
}

void addField(const CompiledConsequence& q, RecordRun& run) {
    const rules::RuleConsequence& line = *q.line;
    const std::string indicators{indicatorOrBlank(line.Indicator1),
                                 indicatorOrBlank(line.Indicator2)};
    const std::size_t at = run.record.insertInTagOrder(q.selector.tag.tag, indicators);
    std::erase_if(run.newFields, [&](const auto& f) { return f.first == q.selector.tag.tag; });
    run.newFields.emplace_back(q.selector.tag.tag, run.record.id(at));
}

// The first value a MARC expression selects in the record.
std::optional<std::string> expressionValue(const CompiledConsequence& q, RecordRun& run) {
    if (q.expressionControl) {
        const ControlRange& range = *q.expressionControl;
        for (std::size_t i = 0; i < run.record.size(); ++i) {
            const marc::FieldView f = run.record.field(i);
            if (!f.isControl() || !range.tag.matches(f.tag()))
                continue;
            if (range.whole())
                return std::string(f.value());
            if (static_cast<std::size_t>(range.end) <= f.value().size() && range.start <= range.end)
                return std::string(f.value().substr(static_cast<std::size_t>(range.start),
                                                    static_cast<std::size_t>(range.end - range.start)));
        }
        return std::nullopt;
    }
    const FieldSelector& e = *q.expression;
    e.selectFields(run.record, run.fields);
    for (const std::size_t i : run.fields) {
        const marc::FieldView f = run.record.field(i);
        if (!e.namesSubfields()) {
            fieldValue(f, run.value);
            return run.value;
        }
        e.selectSubfields(f, run.subfields);
        if (run.subfields.empty())
            continue;
        std::size_t position = 0;
        for (const marc::SubfieldView& s : f.subfields())
            if (position++ == run.subfields.front())
                return std::string(s.value);
    }
    return std::nullopt;
}

std::optional<std::string> addedValue(const CompiledConsequence& q, RecordRun& run) {
    const rules::RuleConsequence& line = *q.line;
    if (q.expression || q.expressionControl)
        return expressionValue(q, run);
    if (line.VariableNumber > 0) {
        const auto v = run.variables.find(line.VariableNumber);
        if (v == run.variables.end())
            return std::nullopt;
        return v->second;
    }
    return line.Value;
}

void insertSubfield(const CompiledConsequence& q, marc::Field& field, char code,
                    std::string value) {
    const rules::RuleConsequence& line = *q.line;
    auto& subfields = field.subfields();
    auto at = subfields.end();
    if (!line.OrderSubfield.empty()) {
        std::vector<std::size_t> places;
        for (std::size_t i = 0; i < subfields.size(); ++i)
            if (subfields[i].code == line.OrderSubfield.front())
                places.push_back(i);
        keepOccurrence(places, line.OrderOccurrenceIndex == kAnyOccurrence
                                   ? 0
                                   : line.OrderOccurrenceIndex);
        if (!places.empty())
            at = subfields.begin() + static_cast<std::ptrdiff_t>(places.front() + q.placeAfter);
    }
    subfields.insert(at, marc::Subfield{code, std::move(value)});
}

void addSubfield(const CompiledConsequence& q, RecordRun& run) {
    const rules::RuleConsequence& line = *q.line;
    const auto value = addedValue(q, run);
    if (!value)
        return;
    const char code = line.Subfield.front();
    if (line.ForNewField) {
        for (const auto& [tag, id] : run.newFields) {
            if (tag != q.selector.tag.tag)
                continue;
            if (const auto index = run.record.indexOf(id))
                editField(run.record, *index, [&](marc::Field& f) {
                    insertSubfield(q, f, code, *value);
                    return true;
                });
        }
        return;
    }
    FieldSelector fields = q.selector;
    fields.codes.clear();
    fields.selectFields(run.record, run.fields);
    for (const std::size_t i : run.fields) {
        if (run.record.field(i).isControl())
            continue;
        editField(run.record, i, [&](marc::Field& f) {
            insertSubfield(q, f, code, *value);
            return true;
        });
    }
}

// Runs a replace-string group on one value.
bool replaceIn(const CompiledConsequence& q, RecordRun& run, std::string& text) {
    const rules::RuleConsequence& line = *q.line;
    if (q.kind == qk::ReplaceAtPosition) {
        if (line.Position < 0)
            return true;
        const auto at = static_cast<std::size_t>(line.Position);
        if (text.size() < at + line.SearchString.size())
            text.resize(at + line.SearchString.size(), ' ');
        text.replace(at, line.SearchString.size(), line.SearchString);
    } else {
        std::string error;
        if (!q.pattern->replaceAll(text, line.ReplaceString, run.unicode, error)) {
            run.fail("rule line \"" + line.Text + "\": " + error);
            return false;
        }
    }
    run.variables[line.VariableNumber] = text;
    return true;
}

void replaceString(const CompiledConsequence& q, RecordRun& run) {
    std::string text;
    if (q.control.tag.isLeader()) {
        text.assign(run.record.leader());
        if (!replaceIn(q, run, text))
            return;
        if (text.size() != marc::LeaderLength) {
            run.fail("rule line \"" + q.line->Text + "\" would leave a leader of " +
                     std::to_string(text.size()) + " characters");
            return;
        }
        run.record.setLeader(std::move(text));
        return;
    }
    if (!q.control.tag.tag.empty()) {
        for (std::size_t i = 0; i < run.record.size(); ++i) {
            const marc::FieldView f = run.record.field(i);
            if (!f.isControl() || !q.control.tag.matches(f.tag()))
                continue;
            text.assign(f.value());
            if (!replaceIn(q, run, text))
                return;
            if (text != f.value())
                run.record.setData(i, text);
        }
        return;
    }
    q.selector.selectFields(run.record, run.fields);
    for (const std::size_t i : run.fields) {
        q.selector.selectSubfields(run.record.field(i), run.subfields);
        if (run.subfields.empty())
            continue;
        const std::vector<std::size_t> positions = run.subfields;
        bool failed = false;
        editField(run.record, i, [&](marc::Field& f) {
            bool changed = false;
            for (const std::size_t at : positions) {
                text = f.subfields()[at].value;
                if (!replaceIn(q, run, text)) {
                    failed = true;
                    return false;
                }
                changed = changed || text != f.subfields()[at].value;
                f.subfields()[at].value = text;
            }
            return changed;
        });
        if (failed)
            return;
    }
}

// Sets a fact the catalogue keeps; unknown facts always count as set.
template <typename T>
void setFact(std::optional<T>& current, std::optional<T>& changed, T value) {
    if (current && *current == value)
        return;
    current = value;
    changed = std::move(value);
}

void dispose(const CompiledConsequence& q, RecordRun& run) {
    RecordOutcome& out = *run.outcome;
    const RecordFacts& facts = run.facts;
    const std::int32_t d = q.line->Disposition;
    switch (d) {
    case kChanged:
        run.forceChanged = true;
        return;
    case kDelete:
    case kDeleteAll: {
        const bool bib = facts.kind == RecordKind::Bibliographic;
        std::int32_t refused = 0;
        if (!run.parameters.mayDelete)
            refused = disposition::NoDeleteRight;
        else if (bib && facts.hasItemsOrOrders.value_or(false))
            refused = disposition::HasItemsOrOrders;
        else if (bib && d == kDelete && facts.hasHoldings.value_or(false))
            refused = disposition::HasHoldings;
        if (refused) {
            out.codes.push_back(refused);
            run.fail("not deleted: " + std::string(refused == disposition::NoDeleteRight
                                                       ? "the operator may not delete records"
                                                   : refused == disposition::HasItemsOrOrders
                                                       ? "the record has items or orders"
                                                       : "the record has holdings"));
            return;
        }
        out.codes.push_back(disposition::Deleted);
        out.outcome = Outcome::Deleted;
        out.withHoldings = d == kDeleteAll;
        run.ended = true;
        return;
    }
    case kSuppress:
    case kSuppressAll:
    case kUnsuppress:
    case kUnsuppressAll:
        setFact(run.facts.suppressed, out.facts.suppressed, d == kSuppress || d == kSuppressAll);
        if (d == kSuppressAll || d == kUnsuppressAll)
            out.facts.holdingsToo = true;
        return;
    case kError:
        out.codes.push_back(disposition::ExecutionFailed);
        run.fail("ERROR");
        return;
    default:
        return;
    }
}

void exportOption(std::int32_t option, RecordRun& run) {
    FactChanges& changed = run.outcome->facts;
    if (option == rules::export_option::Set)
        setFact(run.facts.okToExport, changed.okToExport, true);
    else if (option == rules::export_option::Unset)
        setFact(run.facts.okToExport, changed.okToExport, false);
    else if (option == rules::export_option::ChangeDate)
        setFact(run.facts.okToExportDate, changed.okToExportDate, run.parameters.today);
}

void changeOwningLibrary(RecordRun& run) {
    FactChanges& changed = run.outcome->facts;
    if (!run.parameters.libraryId.empty())
        setFact(run.facts.owningLibrary, changed.owningLibrary, run.parameters.libraryId);
    if (!run.parameters.locationId.empty())
        setFact(run.facts.location, changed.location, run.parameters.locationId);
}

} // namespace

void applyConsequence(const CompiledConsequence& q, RecordRun& run) {
    switch (q.kind) {
    case qk::RemoveControlField:
        removeControlField(q, run);
        break;
    case qk::RemoveField:
        removeFields(q, run);
        break;
    case qk::SetSubfield:
        setSubfields(q, run);
        break;
    case qk::Copy:
    case qk::CopyDeprecated:
        copy(q, run);
        break;
    case qk::ScanAction:
        (q.line->ScanAction == 1 ? run.exclude : run.include) = true;
        break;
    case qk::ChangeMarc:
        changeMarc(q, run);
        break;
    case qk::AddControlField:
        addControlField(q, run);
        break;
    case qk::AddField:
        addField(q, run);
        break;
    case qk::AddSubfield:
        addSubfield(q, run);
        break;
    case qk::RecordDisposition:
        dispose(q, run);
        break;
    case qk::ReplaceAtPosition:
    case qk::ReplaceWithString:
        replaceString(q, run);
        break;
    case qk::ChangeOwningLibrary:
        changeOwningLibrary(run);
        if (q.line->ExportOption)
            exportOption(q.line->ExportOption, run);
        break;
    case qk::ExportOption:
        exportOption(q.line->ExportOption, run);
        break;
    default:
        break;
    }
}

} // namespace engine
