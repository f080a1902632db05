#include "marc/record_view.h"

#include "marc/detail/digits.h"

#include <cstring>

namespace marc {

FieldView RecordView::field(std::size_t index) const {
    const char* entry = bytes_.data() + LeaderLength + index * DirectoryEntryLength;
    const std::size_t length = detail::readCheckedDigits<FieldLengthDigits>(entry + TagLength);
    const std::size_t start =
        detail::readCheckedDigits<StartDigits>(entry + TagLength + FieldLengthDigits);
    return {std::string_view(entry, TagLength), bytes_.substr(base_ + start, length - 1)};
}

std::optional<FieldView> RecordView::findField(std::string_view tag) const {
    if (tag.size() != TagLength)
        return std::nullopt;
    const char* entry = bytes_.data() + LeaderLength;
    for (std::size_t i = 0; i < fieldCount_; ++i, entry += DirectoryEntryLength)
        if (std::memcmp(entry, tag.data(), TagLength) == 0)
            return field(i);
    return std::nullopt;
}

} // namespace marc
