#include "marc/field.h"

#include "marc/field_view.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace marc {

Field::Field(std::string_view tag, bool control) : control_(control) {
    setTag(tag);
}

void Field::setTag(std::string_view tag) {
    if (tag.size() != 3)
        throw std::invalid_argument("a MARC tag has three bytes: \"" + std::string(tag) + "\"");
    std::copy(tag.begin(), tag.end(), tag_);
}

Field Field::control(std::string_view tag, std::string value) {
    Field f(tag, true);
    f.value_ = std::move(value);
    return f;
}

Field Field::data(std::string_view tag, char indicator1, char indicator2,
                  std::vector<Subfield> subfields) {
    return data(tag, std::string{indicator1, indicator2}, std::move(subfields));
}

Field Field::data(std::string_view tag, std::string indicators, std::vector<Subfield> subfields) {
    Field f(tag, false);
    f.indicators_ = std::move(indicators);
    f.subfields_ = std::move(subfields);
    return f;
}

Field Field::fromView(const FieldView& view) {
    if (view.isControl())
        return control(view.tag(), std::string(view.value()));
    Field f(view.tag(), false);
    f.indicators_ = std::string(view.indicators());
    f.subfields_.reserve(static_cast<std::size_t>(
        std::count(view.data().begin(), view.data().end(), SubfieldDelimiter)));
    for (const SubfieldView& s : view.subfields())
        f.subfields_.push_back({s.code, std::string(s.value)});
    return f;
}

void Field::setIndicators(char indicator1, char indicator2) {
    indicators_.assign({indicator1, indicator2});
}

const Subfield* Field::findSubfield(char code) const {
    for (const Subfield& s : subfields_)
        if (s.code == code)
            return &s;
    return nullptr;
}

Subfield* Field::findSubfield(char code) {
    return const_cast<Subfield*>(std::as_const(*this).findSubfield(code));
}

std::optional<std::string_view> Field::subfield(char code) const {
    if (const Subfield* s = findSubfield(code))
        return std::string_view(s->value);
    return std::nullopt;
}

void Field::addSubfield(char code, std::string value) {
    subfields_.push_back({code, std::move(value)});
}

std::size_t Field::removeSubfields(char code) {
    return std::erase_if(subfields_, [code](const Subfield& s) { return s.code == code; });
}

std::size_t Field::dataLength() const {
    if (control_)
        return value_.size();
    std::size_t n = indicators_.size();
    for (const Subfield& s : subfields_)
        n += s.code == NoSubfieldCode ? 1 : 2 + s.value.size();
    return n;
}

void Field::appendData(std::string& out) const {
    if (control_) {
        out += value_;
        return;
    }
    out += indicators_;
    for (const Subfield& s : subfields_) {
        out += SubfieldDelimiter;
        if (s.code == NoSubfieldCode)
            continue;
        out += s.code;
        out += s.value;
    }
}

std::string Field::data() const {
    std::string out;
    out.reserve(dataLength());
    appendData(out);
    return out;
}

} // namespace marc
