#include "upload/file_record.h"

namespace velumar {

namespace {

constexpr int TypeOfRecord = 6;
constexpr int CodingScheme = 9;

} // namespace

FileRecord::FileRecord(const QByteArray& octets) : text_(QString::fromLatin1(octets)) {
    load();
}

void FileRecord::load() {
    loaded_ = record_.Load(text_) && record_.FindField(QStringLiteral("000"));
    leader_ = loaded_ ? record_.FieldData() : QString();
}

int FileRecord::RecordType() const {
    if (!loaded_ || leader_.size() <= TypeOfRecord)
        return 0;
    const QChar type = leader_[TypeOfRecord];
    if (type == QLatin1Char('z'))
        return 3;
    if (QStringLiteral("uvxy").contains(type))
        return 2;
    return 1;
}

bool FileRecord::IsUnicode() const {
    return leader_.size() > CodingScheme && leader_[CodingScheme] == QLatin1Char('a');
}

bool FileRecord::Replace(const QString& text) {
    text_ = text;
    load();
    return loaded_;
}

QString FileRecord::MatchKey() {
    if (!loaded_)
        return {};
    // The record is Unicode by now: its octets are UTF-8.
    const auto field = [this](const char* tag) {
        return record_.FindField(QString::fromLatin1(tag))
                   ? QString::fromUtf8(record_.FieldData().toLatin1()).trimmed()
                   : QString();
    };
    QString source = field("003");
    const QString number = field("001");
    if (!source.isEmpty() && !source.startsWith(QLatin1Char('(')))
        source = QLatin1Char('(') + source + QLatin1Char(')');
    return source + number;
}

} // namespace velumar
