#pragma once
// The work of an authority-load match job: the file's records counted,
// the job Paused with the count, then the authority records uploaded into
// the job in bulks of 20, and the job handed to the server's runner
// (Pending) once every record is in.

#include "upload/record_pass.h"
#include "upload/upload_counters.h"
#include "upload/upload_requests.h"
#include "upload/upload_work.h"

#include <QStringList>

namespace velumar {

class SessionState;

struct AuthLoadMatchJobInputs {
    qint32 jobId = 0;
    int recordType = 3;
    QString sourceFile;
    QString encoding; // character set code
};

class AuthLoadMatchJobUpload : public UploadWork {
public:
    static constexpr int BulkSize = 20;

    AuthLoadMatchJobUpload(SessionState& state, AuthLoadMatchJobInputs inputs,
                           UploadDisplay& display);

    bool Step() override;

    const UploadCounters& Counters() const { return counters_; }

private:
    enum class Phase { Start, Count, Upload, Finished };

    void start();
    void countOne();
    void afterCount();
    void uploadOne();
    // Queues the record, or counts it as an error; false when the pass must end.
    bool take(const QByteArray& octets);
    // Sends the bulk and empties it; false, and the pass failed, when the upload failed.
    bool sendBulk();
    void afterUpload();
    void setStatus(int status);
    void finish(int status);

    SessionState& state_;
    AuthLoadMatchJobInputs inputs_;
    UploadDisplay& display_;
    UploadRequests requests_;
    RecordPass pass_;
    Phase phase_ = Phase::Start;
    UploadCounters counters_;
    QStringList bulk_;
    int bulkFirst_ = 1; // the place of the next bulk's first record among the records queued
};

} // namespace velumar
