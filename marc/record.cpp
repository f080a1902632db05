#include "marc/record.h"

#include "marc/record_view.h"

#include <algorithm>
#include <utility>

namespace marc {

Record Record::fromView(const RecordView& view) {
    Record record(Leader::fromText(view.leader()).value_or(Leader{}));
    record.fields_.reserve(view.fieldCount());
    for (const FieldView field : view)
        record.fields_.push_back(Field::fromView(field));
    return record;
}

const Field* Record::findField(std::string_view tag) const {
    for (const Field& f : fields_)
        if (f.tag() == tag)
            return &f;
    return nullptr;
}

Field* Record::findField(std::string_view tag) {
    return const_cast<Field*>(std::as_const(*this).findField(tag));
}

std::vector<const Field*> Record::findFields(std::string_view tag) const {
    std::vector<const Field*> found;
    for (const Field& f : fields_)
        if (f.tag() == tag)
            found.push_back(&f);
    return found;
}

std::optional<std::string_view> Record::controlValue(std::string_view tag) const {
    const Field* f = findField(tag);
    if (!f || !f->isControl())
        return std::nullopt;
    return f->value();
}

Field& Record::appendField(Field field) {
    return fields_.emplace_back(std::move(field));
}

Field& Record::insertField(Field field) {
    const auto after = std::find_if(fields_.rbegin(), fields_.rend(),
                                    [&](const Field& f) { return f.tag() <= field.tag(); });
    return *fields_.insert(after.base(), std::move(field));
}

void Record::setControlValue(std::string_view tag, std::string value) {
    for (Field& f : fields_) {
        if (f.tag() == tag && f.isControl()) {
            f.setValue(std::move(value));
            return;
        }
    }
    insertField(Field::control(tag, std::move(value)));
}

std::size_t Record::removeFields(std::string_view tag) {
    return std::erase_if(fields_, [tag](const Field& f) { return f.tag() == tag; });
}

} // namespace marc
