#include "authority_merge.h"

#include "marc/iso2709_writer.h"
#include "marc/record.h"
#include "marc/record_view.h"

#include <algorithm>

namespace orvane::server::authload {

namespace {

bool hasLocalSubfield5(const marc::Field& field, const MergeConfiguration& c) {
    for (const marc::Subfield& s : field.subfields())
        if (s.code == '5' && c.localNucCodes.count(s.value))
            return true;
    return false;
}

const marc::Field* heading(const marc::Record& record) {
    for (const marc::Field& f : record.fields())
        if (f.tag()[0] == '1')
            return &f;
    return nullptr;
}

bool sameHeading(const marc::Record& a, const marc::Record& b) {
    const marc::Field* x = heading(a);
    const marc::Field* y = heading(b);
    return x && y && x->tag() == y->tag() && x->subfields() == y->subfields();
}

char byteOf(const marc::Record& record, std::size_t at) {
    const auto value = record.controlValue("008");
    return value && value->size() > at ? (*value)[at] : '\0';
}

// The fields of a category, narrowed to its listed tags.
std::vector<marc::Field> fieldsOf(const marc::Record& record, std::string_view category,
                                  const CategoryRule& rule) {
    std::vector<marc::Field> found;
    for (const marc::Field& f : record.fields())
        if (MergeConfiguration::categoryOf(f.tag()) == category &&
            (rule.fields.empty() || rule.fields.count(std::string(f.tag()))))
            found.push_back(f);
    return found;
}

void removeFields(marc::Record& record, const std::vector<marc::Field>& fields) {
    std::erase_if(record.fields(), [&](const marc::Field& f) {
        return std::find(fields.begin(), fields.end(), f) != fields.end();
    });
}

void keep(marc::Record& merged, marc::Field field, const CategoryRule& rule,
          const MergeConfiguration& c) {
    if (rule.addSubfield5 && !c.localNucCode.empty() && !field.isControl()) {
        const bool marked = std::any_of(field.subfields().begin(), field.subfields().end(),
                                        [&](const marc::Subfield& s) {
                                            return s.code == '5' && s.value == c.localNucCode;
                                        });
        if (!marked)
            field.addSubfield('5', c.localNucCode);
    }
    merged.insertField(std::move(field));
}

void applyCategory(marc::Record& merged, const marc::Record& old, const std::string& category,
                   const CategoryRule& rule, const MergeConfiguration& c, bool ignoreOld) {
    // The existing fields are ignored: the incoming ones stand, whatever the option.
    if (ignoreOld)
        return;
    std::vector<marc::Field> existing = fieldsOf(old, category, rule);
    const std::vector<marc::Field> incoming = fieldsOf(merged, category, rule);
    std::vector<marc::Field> local;
    for (const marc::Field& f : existing)
        if (hasLocalSubfield5(f, c))
            local.push_back(f);
    const auto notIncoming = [&](const std::vector<marc::Field>& fields) {
        std::vector<marc::Field> kept;
        for (const marc::Field& f : fields)
            if (std::find(incoming.begin(), incoming.end(), f) == incoming.end())
                kept.push_back(f);
        return kept;
    };
    std::vector<marc::Field> retained;
    bool replace = false;
    switch (rule.retention) {
    case Retention::UseIncoming:
        return;
    case Retention::ExistingInstead:
        retained = existing;
        replace = true;
        break;
    case Retention::ExistingAndIncoming:
        retained = notIncoming(existing);
        break;
    case Retention::LocalInstead:
        retained = local;
        replace = !local.empty();
        break;
    case Retention::LocalAndIncoming:
        retained = notIncoming(local);
        break;
    case Retention::ExistingIfNoIncoming:
        if (incoming.empty())
            retained = existing;
        break;
    case Retention::LocalIfNoIncoming:
        if (incoming.empty())
            retained = local;
        break;
    case Retention::ExistingUnlessHeadingsDiffer:
        if (sameHeading(merged, old)) {
            retained = existing;
            replace = true;
        }
        break;
    case Retention::MoveOldHeadingTo688:
        if (const marc::Field* oldHeading = heading(old); oldHeading && !sameHeading(merged, old))
            retained.push_back(marc::Field::data("688", ' ', ' ', oldHeading->subfields()));
        break;
    }
    if (replace)
        removeFields(merged, incoming);
    for (marc::Field& f : retained)
        keep(merged, std::move(f), rule, c);
}

// The merged record is still the catalogue's record: its id (001), 003 and
// control numbers (035) stay, and the incoming record's own control number
// is kept in an 035 so that the next load from the agency finds it.
void keepIdentity(marc::Record& merged, const marc::Record& old) {
    const auto incomingNumber = merged.controlValue("001");
    const auto incomingSource = merged.controlValue("003");
    std::string incomingKey;
    if (incomingNumber && !incomingNumber->empty()) {
        if (incomingSource && !incomingSource->empty()) {
            incomingKey.push_back('(');
            incomingKey.append(*incomingSource);
            incomingKey.push_back(')');
        }
        incomingKey.append(*incomingNumber);
    }
    for (const char* tag : {"001", "003"})
        if (const auto value = old.controlValue(tag))
            merged.setControlValue(tag, std::string(*value));
    std::vector<marc::Field> numbers;
    for (const marc::Field& f : old.fields())
        if (f.tag() == "035")
            numbers.push_back(f);
    if (!incomingKey.empty())
        numbers.push_back(marc::Field::data("035", ' ', ' ', {{'a', incomingKey}}));
    for (marc::Field& f : numbers) {
        const bool held = std::any_of(merged.fields().begin(), merged.fields().end(),
                                      [&](const marc::Field& m) {
                                          return m.tag() == "035" && m.subfield('a') == f.subfield('a');
                                      });
        if (!held)
            merged.insertField(std::move(f));
    }
}

} // namespace

std::optional<std::string> doNotMerge(const marc::RecordView& existing,
                                      const MergeConfiguration& c) {
    const std::string_view leader = existing.leader();
    std::vector<marc::FieldView> cataloguing;
    for (const marc::FieldView f : existing)
        if (f.tag() == "040")
            cataloguing.push_back(f);
    const auto any040 = [&](char code, auto test) {
        for (const marc::FieldView& f : cataloguing)
            for (const marc::SubfieldView& s : f.subfields())
                if (s.code == code && test(s.value))
                    return true;
        return false;
    };
    for (const DoNotMerge& test : c.doNotMerge) {
        bool holds = false;
        if (test.code == "DNMLDR17")
            holds = !test.input.empty() && leader[17] == test.input.front();
        else if (test.code == "DNMLDR18")
            holds = leader[18] != ' ';
        else if (test.code == "DNM040$a")
            holds = any040('a', [&](std::string_view v) { return v == test.input; });
        else if (test.code == "DNM040$d")
            holds = any040('d', [&](std::string_view v) { return v == test.input; });
        else if (test.code == "DNM040$e")
            holds = any040('e', [](std::string_view) { return true; });
        else if (test.code == "DNM040GT")
            holds = cataloguing.size() > 1;
        if (holds)
            return test.code;
    }
    return std::nullopt;
}

std::optional<std::string> mergeRecords(const marc::RecordView& incoming,
                                        const marc::RecordView& existing,
                                        const MergeConfiguration& c, std::string& error) {
    marc::Record merged = marc::Record::fromView(incoming);
    const marc::Record old = marc::Record::fromView(existing);

    for (const auto& [code, at] : {std::pair<std::string_view, std::size_t>{"00806", 6},
                                   {"00812", 12},
                                   {"00813", 13}}) {
        const char kept = byteOf(old, at);
        const auto value = merged.controlValue("008");
        if (!c.keep008Bytes.count(std::string(code)) || !kept || !value || value->size() <= at)
            continue;
        std::string data(*value);
        data[at] = kept;
        merged.setControlValue("008", std::move(data));
    }
    const bool matched008 = byteOf(old, 29) == 'b' && byteOf(merged, 29) == 'a';
    for (const auto& [category, rule] : c.categories) {
        // The heading last: its 688 is not one of the incoming 6XX fields.
        if (category == "1XX")
            continue;
        const bool ignoreOld = matched008 && ((category == "4XX" && c.ignore4xxOnMatched008) ||
                                              (category == "5XX" && c.ignore5xxOnMatched008));
        applyCategory(merged, old, category, rule, c, ignoreOld);
    }
    if (const auto heading = c.categories.find("1XX"); heading != c.categories.end())
        applyCategory(merged, old, "1XX", heading->second, c, false);
    keepIdentity(merged, old);
    std::string out;
    if (auto why = marc::appendIso2709(merged, out)) {
        error = *why;
        return std::nullopt;
    }
    return out;
}

} // namespace orvane::server::authload
