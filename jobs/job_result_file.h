#pragma once
// One result file a job left on the server: its id, name and type.

#include <QString>

namespace orvane {
class Channel;
}

namespace velumar {

class JobResultFile {
public:
    // Reads "FI", "FN", "FT" from the channel's current answer record.
    void ReadResultFileRecord(orvane::Channel& channel);

    qint32 FileId() const { return fileId_; }
    const QString& FileName() const { return fileName_; }
    qint32 FileType() const { return fileType_; }

    // "Before", "After", ... "Reject"; "Unknown" for another type.
    QString TypeName() const { return TypeNameOf(fileType_); }
    // Whether the file holds MARC records, and so may be exported as such.
    bool HoldsRecords() const { return HoldsRecordsOf(fileType_); }
    // The file's key in a collection: "type|id" in decimal.
    QString ResultFileKey() const { return KeyOf(fileType_, fileId_); }

    static QString TypeNameOf(qint32 fileType);
    static bool HoldsRecordsOf(qint32 fileType);
    static QString KeyOf(qint32 fileType, qint32 fileId);

private:
    qint32 fileId_ = 0;
    QString fileName_;
    qint32 fileType_ = 0;
};

} // namespace velumar
