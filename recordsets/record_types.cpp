#include "record_types.h"

#include <array>

namespace velumar {

namespace {

struct Names {
    const char* shortName;
    const char* displayName;
};

constexpr std::array<Names, 3> RecordTypes{{
    {"Bib", "Bibliographic"},
    {"Mfhd", "Holdings"},
    {"Auth", "Authority"},
}};

constexpr std::array<const char*, 2> SetTypes{"Explicit", "Logical"};

template <typename T, std::size_t N> const T* byCode(const std::array<T, N>& table, int code) {
    return code >= 1 && code <= static_cast<int>(N) ? &table[static_cast<std::size_t>(code - 1)]
                                                    : nullptr;
}

} // namespace

QString RecordTypeShortName(int recordType) {
    const Names* names = byCode(RecordTypes, recordType);
    return names ? QString::fromLatin1(names->shortName) : QString();
}

QString RecordTypeDisplayName(int recordType) {
    const Names* names = byCode(RecordTypes, recordType);
    return names ? QString::fromLatin1(names->displayName) : QString();
}

QString SetTypeName(int setType) {
    const char* const* name = byCode(SetTypes, setType);
    return name ? QString::fromLatin1(*name) : QString();
}

} // namespace velumar
