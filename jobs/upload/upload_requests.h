#pragma once
// The requests the upload screens send for their job on the channel: the
// job's status and counters ("SAVE_JOB"), a record converted to Unicode
// ("CONVERTMARCCHARSET") and a bulk of records ("UPLOAD_MARC").

#include "upload/upload_counters.h"

#include <QStringList>
#include <optional>

namespace velumar {

class FileRecord;
class SessionState;

// What the encoding step made of a record.
enum class EncodingStep {
    AsRead,       // already Unicode
    Converted,    // converted; the record now holds the converted text
    NotConverted, // the server did not convert it; the record is as read
    Mismatch,     // not Unicode, though Unicode was chosen for the file
};

// The second line of the message that ends a pass on a record of the wrong coding.
inline constexpr char MismatchText[] =
    "Mismatch between the encoding specified and the actual encoding leader byte of the source "
    "file.";

class UploadRequests {
public:
    // Character set code "A" is Unicode in the server's list.
    static constexpr char Unicode[] = "A";

    UploadRequests(SessionState& state, qint32 jobId) : state_(state), jobId_(jobId) {}

    // "SAVE_JOB" with the status and counters, and first the save set when
    // given. On failure the operator is told and false is answered.
    bool UpdateStatus(int status, const UploadCounters& counters,
                      std::optional<qint32> saveSet = std::nullopt);
    // The record converted from the coding to Unicode; none when the server
    // did not convert it (nothing is told).
    std::optional<QString> Convert(const QString& record, const QString& fromCode);
    // The encoding step of both screens for a record of a file of that coding.
    EncodingStep Encode(FileRecord& record, const QString& fileCode);
    // "UPLOAD_MARC": the records in order, "RP" the place of the first; true on status 0.
    bool Upload(const QStringList& records, int firstPlace);

private:
    SessionState& state_;
    qint32 jobId_;
};

} // namespace velumar
