#pragma once
// The work of a match job: every record of the file read and checked, its
// control number key taken, then each key searched in the catalogue's 035
// index and the records found added to the job's save set; the job's
// status and counters kept up to date on the server all along.

#include "upload/record_pass.h"
#include "upload/upload_counters.h"
#include "upload/upload_requests.h"
#include "upload/upload_work.h"

#include <QPointer>
#include <QStringList>
#include <QWidget>

namespace velumar {

class SessionState;

struct MatchJobInputs {
    qint32 jobId = 0;
    qint32 saveSetId = 0;
    int recordType = 0; // 1 bibliographic or 3 authority
    QString sourceFile;
    QString encoding; // character set code
};

class MatchJobUpload : public UploadWork {
public:
    // `screen` shows the wait pointer while found records go to the set.
    MatchJobUpload(SessionState& state, MatchJobInputs inputs, UploadDisplay& display,
                   QWidget& screen);

    bool Step() override;

    const UploadCounters& Counters() const { return counters_; }
    // The keys of the read pass, in file order.
    const QStringList& Keys() const { return keys_; }

private:
    enum class Phase { Start, Read, Search, Finished };

    void start();
    void readOne();
    // The record's key kept, or the record counted as an error.
    void take(const QByteArray& octets);
    void afterRead();
    void searchOne();
    // The status sent; a failed update asks the work to stop.
    void setStatus(int status, bool withSaveSet = false);
    void finish(int status);

    SessionState& state_;
    MatchJobInputs inputs_;
    UploadDisplay& display_;
    QPointer<QWidget> screen_;
    UploadRequests requests_;
    RecordPass pass_;
    Phase phase_ = Phase::Start;
    UploadCounters counters_;
    QStringList keys_;
    int nextKey_ = 0;
};

} // namespace velumar
