#include "field_selector.h"

#include "work_record.h"

#include <algorithm>
#include <cctype>

namespace engine {

namespace {

char upper(char c) {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

TagPattern TagPattern::from(std::string_view tag) {
    TagPattern p;
    for (const char c : tag)
        p.tag.push_back(upper(c));
    p.prefixLength = p.tag.size();
    // "9XX", "65X": a prefix of digits followed by X's.
    if (p.tag.size() == 3 && isDigit(p.tag[0])) {
        if (p.tag[1] == 'X' && p.tag[2] == 'X')
            p.prefixLength = 1;
        else if (isDigit(p.tag[1]) && p.tag[2] == 'X')
            p.prefixLength = 2;
    }
    return p;
}

bool TagPattern::matches(std::string_view fieldTag) const {
    if (fieldTag.size() < prefixLength)
        return false;
    for (std::size_t i = 0; i < prefixLength; ++i)
        if (upper(fieldTag[i]) != tag[i])
            return false;
    return true;
}

char FieldSelector::indicator(std::string_view text) {
    return text.empty() || text == "#" ? kAnyIndicator : text.front();
}

bool FieldSelector::matchesField(const marc::FieldView& field) const {
    if (!tag.matches(field.tag()))
        return false;
    if (indicator1 == kAnyIndicator && indicator2 == kAnyIndicator)
        return true;
    if (field.isControl())
        return false;
    return (indicator1 == kAnyIndicator || field.indicator1() == indicator1) &&
           (indicator2 == kAnyIndicator || field.indicator2() == indicator2);
}

bool FieldSelector::selectsCode(char code) const {
    return codes.find('*') != std::string::npos || codes.find(code) != std::string::npos;
}

void keepOccurrence(std::vector<std::size_t>& items, std::int32_t occurrence) {
    if (occurrence == kAnyOccurrence)
        return;
    if (items.empty())
        return;
    std::size_t chosen = 0;
    if (occurrence == kLastOccurrence) {
        chosen = items.back();
    } else {
        const auto at = static_cast<std::size_t>(occurrence);
        if (occurrence < 0 || at >= items.size()) {
            items.clear();
            return;
        }
        chosen = items[at];
    }
    items.assign(1, chosen);
}

void FieldSelector::selectFields(const WorkRecord& record, std::vector<std::size_t>& out) const {
    out.clear();
    for (std::size_t i = 0; i < record.size(); ++i)
        if (matchesField(record.field(i)))
            out.push_back(i);
    keepOccurrence(out, occurrence);
}

void FieldSelector::selectSubfields(const marc::FieldView& field,
                                    std::vector<std::size_t>& out) const {
    out.clear();
    if (field.isControl())
        return;
    std::size_t position = 0;
    for (const marc::SubfieldView& s : field.subfields()) {
        if (s.code != marc::NoSubfieldCode && selectsCode(s.code))
            out.push_back(position);
        ++position;
    }
    keepOccurrence(out, subfieldOccurrence);
}

void fieldValue(const marc::FieldView& field, std::string& out) {
    out.clear();
    if (field.isControl()) {
        out.assign(field.value());
        return;
    }
    bool first = true;
    for (const marc::SubfieldView& s : field.subfields()) {
        if (s.code == marc::NoSubfieldCode)
            continue;
        if (!first)
            out.push_back(' ');
        out.append(s.value);
        first = false;
    }
}

} // namespace engine
