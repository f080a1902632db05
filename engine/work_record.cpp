#include "work_record.h"

#include "marc/iso2709_writer.h"
#include "marc/record_view.h"

#include <algorithm>

namespace engine {

void WorkRecord::load(const marc::RecordView& view) {
    original_ = view.bytes();
    leader_ = view.leader();
    fields_.clear();
    owned_.clear();
    touched_ = false;
    nextId_ = 0;
    fields_.reserve(view.fieldCount());
    for (const marc::FieldView f : view) {
        Entry e{{' ', ' ', ' '}, f.data(), nextId_++};
        std::copy_n(f.tag().begin(), std::min<std::size_t>(3, f.tag().size()), e.tag.begin());
        fields_.push_back(e);
    }
}

std::string_view WorkRecord::keep(std::string bytes) {
    touched_ = true;
    return owned_.emplace_back(std::move(bytes));
}

void WorkRecord::setLeader(std::string leader) {
    leader_ = keep(std::move(leader));
}

marc::FieldView WorkRecord::field(std::size_t index) const {
    const Entry& e = fields_[index];
    return {std::string_view(e.tag.data(), 3), e.data};
}

std::optional<std::size_t> WorkRecord::indexOf(std::uint32_t id) const {
    for (std::size_t i = 0; i < fields_.size(); ++i)
        if (fields_[i].id == id)
            return i;
    return std::nullopt;
}

void WorkRecord::setData(std::size_t index, std::string data) {
    fields_[index].data = keep(std::move(data));
}

void WorkRecord::setTag(std::size_t index, std::string_view tag) {
    std::copy_n(tag.begin(), 3, fields_[index].tag.begin());
    touched_ = true;
}

void WorkRecord::remove(std::size_t index) {
    fields_.erase(fields_.begin() + static_cast<std::ptrdiff_t>(index));
    touched_ = true;
}

std::size_t WorkRecord::insertInTagOrder(std::string_view tag, std::string data) {
    std::size_t at = fields_.size();
    while (at > 0 && this->tag(at - 1) > tag)
        --at;
    Entry e{{tag[0], tag[1], tag[2]}, keep(std::move(data)), nextId_++};
    fields_.insert(fields_.begin() + static_cast<std::ptrdiff_t>(at), e);
    return at;
}

void WorkRecord::reorder(std::span<const std::size_t> order) {
    std::vector<Entry> ordered;
    ordered.reserve(order.size());
    for (const std::size_t i : order)
        ordered.push_back(fields_[i]);
    fields_ = std::move(ordered);
    touched_ = true;
}

std::optional<std::string> WorkRecord::write(std::string& out) const {
    writeViews_.clear();
    for (std::size_t i = 0; i < fields_.size(); ++i)
        writeViews_.push_back(field(i));
    return marc::appendIso2709(leader_, writeViews_, out);
}

} // namespace engine
