#pragma once
// Reads a MARC file record by record as the upload passes do: each record
// begins with its length in five decimal digits, which count the whole
// record, and the records lie back to back with nothing between them.

#include <QByteArray>
#include <QString>

class QIODevice;

namespace velumar {

class MarcFileReader {
public:
    enum class Result {
        Record,       // Record() holds the next record
        End,          // no more records (fewer than five characters left)
        Empty,        // the file ends within or right after its first five characters
        Unrecognized, // the five characters are not a length
        ReadError,    // the device failed; ErrorDescription() says why
    };

    explicit MarcFileReader(QIODevice& file) : file_(file) {}

    Result Next();
    // The record read last: as many octets as its length says, or the rest
    // of the file when that is shorter.
    const QByteArray& Record() const { return record_; }
    QString ErrorDescription() const;

private:
    // Reads up to `count` octets; false when the device failed.
    bool read(qint64 count, QByteArray& into);

    QIODevice& file_;
    QByteArray record_;
    bool started_ = false;
};

} // namespace velumar
