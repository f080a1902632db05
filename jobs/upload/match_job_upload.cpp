#include "upload/match_job_upload.h"

#include "record_search.h"
#include "record_sets.h"
#include "request_channel.h"
#include "session/busy_state.h"
#include "session/session_state.h"
#include "upload/file_record.h"

namespace velumar {

namespace {

namespace status {
constexpr int Running = 1;
constexpr int Done = 2;
constexpr int Killed = 4;
constexpr int Failed = 5;
} // namespace status

const QString FailureLine = QStringLiteral("Unable to complete the match job.");

// The control number index of the record type; holdings have none.
QString indexFor(int recordType) {
    switch (recordType) {
    case 1:
        return QStringLiteral("035A");
    case 3:
        return QStringLiteral("A35A");
    default:
        return {};
    }
}

} // namespace

MatchJobUpload::MatchJobUpload(SessionState& state, MatchJobInputs inputs, UploadDisplay& display,
                               QWidget& screen)
    : state_(state), inputs_(std::move(inputs)), display_(display), screen_(&screen),
      requests_(state, inputs_.jobId), pass_(state) {}

bool MatchJobUpload::Step() {
    switch (phase_) {
    case Phase::Start:
        start();
        break;
    case Phase::Read:
        readOne();
        break;
    case Phase::Search:
        searchOne();
        break;
    case Phase::Finished:
        break;
    }
    return phase_ != Phase::Finished;
}

void MatchJobUpload::setStatus(int jobStatus, bool withSaveSet) {
    const auto saveSet = withSaveSet ? std::optional<qint32>(inputs_.saveSetId) : std::nullopt;
    if (!requests_.UpdateStatus(jobStatus, counters_, saveSet))
        RequestCancel();
}

void MatchJobUpload::finish(int jobStatus) {
    setStatus(jobStatus);
    phase_ = Phase::Finished;
}

void MatchJobUpload::start() {
    if (!requests_.UpdateStatus(status::Running, counters_, inputs_.saveSetId)) {
        RequestCancel();
        finish(status::Failed);
        return;
    }
    if (!pass_.Open(inputs_.sourceFile, FailureLine)) {
        finish(status::Failed);
        return;
    }
    phase_ = Phase::Read;
}

void MatchJobUpload::readOne() {
    if (const auto octets = pass_.Next()) {
        take(*octets);
        if (!pass_.Failed() && !CancelRequested())
            return;
        pass_.Close();
    }
    afterRead();
}

void MatchJobUpload::take(const QByteArray& octets) {
    FileRecord record(octets);
    if (!record.Loaded() || record.RecordType() != inputs_.recordType) {
        ++counters_.errors;
        return;
    }
    switch (requests_.Encode(record, inputs_.encoding)) {
    case EncodingStep::Mismatch:
        ++counters_.errors;
        pass_.Fail(QString::fromLatin1(MismatchText));
        return;
    case EncodingStep::NotConverted:
        ++counters_.errors;
        return;
    case EncodingStep::Converted:
    case EncodingStep::AsRead:
        break;
    }
    // A converted record that no longer loads has no key to give.
    if (!record.Loaded()) {
        ++counters_.errors;
        return;
    }
    if (const QString key = record.MatchKey(); !key.isEmpty())
        keys_.push_back(key);
}

void MatchJobUpload::afterRead() {
    if (pass_.Failed()) {
        finish(status::Failed);
        return;
    }
    if (CancelRequested()) {
        finish(status::Killed);
        return;
    }
    counters_.toProcess = static_cast<int>(keys_.size());
    setStatus(status::Running);
    display_.ShowProgress(counters_);
    phase_ = Phase::Search;
    if (keys_.isEmpty())
        finish(CancelRequested() ? status::Killed : status::Done);
}

void MatchJobUpload::searchOne() {
    const QString& key = keys_[nextKey_++];
    QList<qint32> ids;
    const int found =
        state_.recordSearch().Search(state_.channel(), indexFor(inputs_.recordType), key, ids);
    if (found != inputs_.recordType) {
        ++counters_.errors;
    } else if (!ids.isEmpty()) {
        bool added = false;
        {
            std::optional<ScreenBusyGuard> busy;
            if (screen_)
                busy.emplace(state_.busy(), *screen_);
            added = state_.manager<RecordSets>().AddToRecordSetQuiet(ids, inputs_.saveSetId,
                                                                     inputs_.recordType);
        }
        if (added)
            counters_.found += static_cast<int>(ids.size());
        else
            ++counters_.errors;
    }
    ++counters_.processed;
    display_.ShowProgress(counters_);
    if (CancelRequested() || nextKey_ >= keys_.size())
        finish(CancelRequested() ? status::Killed : status::Done);
}

} // namespace velumar
