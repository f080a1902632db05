#include "upload/marc_file_reader.h"

#include <QIODevice>

namespace velumar {

namespace {

constexpr qint64 LengthDigits = 5;

bool allDigits(const QByteArray& text) {
    for (const char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
}

} // namespace

bool MarcFileReader::read(qint64 count, QByteArray& into) {
    into.resize(count);
    const qint64 got = file_.read(into.data(), count);
    if (got < 0)
        return false;
    into.resize(got);
    return true;
}

MarcFileReader::Result MarcFileReader::Next() {
    QByteArray length;
    if (!read(LengthDigits, length))
        return Result::ReadError;
    const bool first = !started_;
    started_ = true;
    if (first && (length.size() < LengthDigits || file_.atEnd()))
        return Result::Empty;
    // A trailing line break, or any tail shorter than a length, ends the file.
    if (length.size() < LengthDigits)
        return Result::End;
    if (!allDigits(length))
        return Result::Unrecognized;
    const qint64 total = length.toLongLong();
    // A length that cannot even count its own digits would never move on.
    if (total < LengthDigits)
        return Result::Unrecognized;
    QByteArray rest;
    if (!read(total - LengthDigits, rest))
        return Result::ReadError;
    record_ = length + rest;
    return Result::Record;
}

QString MarcFileReader::ErrorDescription() const {
    return file_.errorString();
}

} // namespace velumar
