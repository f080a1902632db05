#include "upload/auth_load_match_job_upload.h"

#include "upload/file_record.h"

namespace velumar {

namespace {

namespace status {
constexpr int Pending = 0;
constexpr int Killed = 4;
constexpr int Failed = 5;
constexpr int Paused = 6;
} // namespace status

constexpr int Authority = 3;

// Each pass's messages name the job as the screen always has.
const QString CountFailureLine = QStringLiteral("Unable to complete the match job.");
const QString UploadFailureLine = QStringLiteral("Unable to complete the load match job.");
const QString MismatchFailureLine = QStringLiteral("Unable to complete the auth load match job.");

} // namespace

AuthLoadMatchJobUpload::AuthLoadMatchJobUpload(SessionState& state, AuthLoadMatchJobInputs inputs,
                                               UploadDisplay& display)
    : state_(state), inputs_(std::move(inputs)), display_(display), requests_(state, inputs_.jobId),
      pass_(state) {}

bool AuthLoadMatchJobUpload::Step() {
    switch (phase_) {
    case Phase::Start:
        start();
        break;
    case Phase::Count:
        countOne();
        break;
    case Phase::Upload:
        uploadOne();
        break;
    case Phase::Finished:
        break;
    }
    return phase_ != Phase::Finished;
}

void AuthLoadMatchJobUpload::setStatus(int jobStatus) {
    if (!requests_.UpdateStatus(jobStatus, counters_))
        RequestCancel();
}

void AuthLoadMatchJobUpload::finish(int jobStatus) {
    setStatus(jobStatus);
    phase_ = Phase::Finished;
}

void AuthLoadMatchJobUpload::start() {
    counters_ = {};
    bulkFirst_ = 1;
    if (!pass_.Open(inputs_.sourceFile, CountFailureLine)) {
        finish(status::Failed);
        return;
    }
    phase_ = Phase::Count;
}

void AuthLoadMatchJobUpload::countOne() {
    if (pass_.Next()) {
        ++counters_.toProcess;
        if (!CancelRequested())
            return;
        pass_.Close();
    }
    afterCount();
}

void AuthLoadMatchJobUpload::afterCount() {
    if (pass_.Failed()) {
        finish(status::Failed);
        return;
    }
    setStatus(status::Paused);
    if (CancelRequested()) {
        finish(status::Killed);
        return;
    }
    display_.ShowProgress(counters_);
    if (!pass_.Open(inputs_.sourceFile, UploadFailureLine)) {
        finish(status::Failed);
        return;
    }
    phase_ = Phase::Upload;
}

void AuthLoadMatchJobUpload::uploadOne() {
    const auto octets = pass_.Next();
    if (!octets) {
        afterUpload();
        return;
    }
    ++counters_.processed;
    const bool goOn = take(*octets);
    display_.ShowProgress(counters_);
    if (goOn && !CancelRequested())
        return;
    pass_.Close();
    afterUpload();
}

bool AuthLoadMatchJobUpload::take(const QByteArray& octets) {
    FileRecord record(octets);
    if (!record.Loaded() || record.RecordType() != Authority) {
        ++counters_.errors;
        return true;
    }
    switch (requests_.Encode(record, inputs_.encoding)) {
    case EncodingStep::Mismatch:
        ++counters_.errors;
        pass_.Fail(QString::fromLatin1(MismatchText), MismatchFailureLine);
        return false;
    case EncodingStep::NotConverted:
        // The server gets the record as read and judges it itself.
        ++counters_.errors;
        break;
    case EncodingStep::Converted:
    case EncodingStep::AsRead:
        break;
    }
    bulk_.push_back(record.Text());
    ++counters_.found;
    return bulk_.size() < BulkSize || sendBulk();
}

bool AuthLoadMatchJobUpload::sendBulk() {
    const bool sent = requests_.Upload(bulk_, bulkFirst_);
    bulk_.clear();
    if (!sent) {
        pass_.Fail(QStringLiteral("Failed to upload MARC data."));
        return false;
    }
    bulkFirst_ = counters_.found + 1;
    return true;
}

void AuthLoadMatchJobUpload::afterUpload() {
    if (!pass_.Failed() && !bulk_.isEmpty())
        sendBulk();
    if (pass_.Failed())
        finish(status::Failed);
    else
        finish(CancelRequested() ? status::Killed : status::Pending);
}

} // namespace velumar
