#include "job_result_file.h"

#include "channel.h"

#include <array>

namespace velumar {

namespace {

struct FileTypeEntry {
    const char* name;
    bool holdsRecords;
};

constexpr std::array<FileTypeEntry, 15> FileTypes{{
    {"Before", true},
    {"After", true},
    {"Deleted", true},
    {"Unchanged", true},
    {"Error", true},
    {"MARC ids", false},
    {"Delete all", false},
    {"Database change", false},
    {"Match", true},
    {"No match", true},
    {"Multi match", true},
    {"Split", true},
    {"Discard", true},
    {"Redundant", true},
    {"Reject", true},
}};

const FileTypeEntry* entryOf(qint32 fileType) {
    return fileType >= 0 && fileType < static_cast<qint32>(FileTypes.size())
               ? &FileTypes[static_cast<std::size_t>(fileType)]
               : nullptr;
}

} // namespace

void JobResultFile::ReadResultFileRecord(orvane::Channel& channel) {
    fileId_ = channel.GetNumericField(QStringLiteral("FI"));
    fileName_ = channel.GetField(QStringLiteral("FN"));
    fileType_ = channel.GetNumericField(QStringLiteral("FT"));
}

QString JobResultFile::TypeNameOf(qint32 fileType) {
    const FileTypeEntry* entry = entryOf(fileType);
    return QString::fromLatin1(entry ? entry->name : "Unknown");
}

bool JobResultFile::HoldsRecordsOf(qint32 fileType) {
    const FileTypeEntry* entry = entryOf(fileType);
    return entry && entry->holdsRecords;
}

QString JobResultFile::KeyOf(qint32 fileType, qint32 fileId) {
    return QString::number(fileType) + QLatin1Char('|') + QString::number(fileId);
}

} // namespace velumar
