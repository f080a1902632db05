#include "upload/frm_match_job_progress.h"

#include "job_manager.h"
#include "preferences/preferences.h"
#include "record_search.h"
#include "record_types.h"
#include "session/session_state.h"
#include "upload/match_job_upload.h"

#include <QLabel>

namespace velumar {

frmMatchJobProgress::frmMatchJobProgress(SessionState& state, QWidget* parent)
    : JobProgressScreen(state, QStringLiteral("frmMatchJobProgress"),
                        QStringLiteral("Match Job Progress"), QStringLiteral("Matches Found:"),
                        QStringLiteral("Read or Search Errors:"), parent),
      lblJobName_(addInfo("lblJobName", QStringLiteral("Job Name:"))),
      lblSourceFile_(addInfo("lblSourceFile", QStringLiteral("Source File:"))),
      lblRecordType_(addInfo("lblRecordType", QStringLiteral("Record Type:"))) {}

void frmMatchJobProgress::Initialize(qint32 jobId, qint32 saveSetId, int recordTypeId,
                                     const QString& sourceFile, const QString& encoding) {
    jobId_ = jobId;
    recordType_ = recordTypeId;
    sourceFile_ = sourceFile;
    setWork(std::make_unique<MatchJobUpload>(
        state_, MatchJobInputs{jobId, saveSetId, recordTypeId, sourceFile, encoding}, *this,
        *this));
}

void frmMatchJobProgress::load() {
    if (const auto job = state_.manager<JobManager>().FetchJob(jobId_))
        lblJobName_->setText(job->Name());
    lblSourceFile_->setText(sourceFile_);
    lblRecordType_->setText(RecordTypeDisplayName(recordType_));
    // Keys are searched whole and each search stands alone.
    orvane::RecordSearch& search = state_.recordSearch();
    search.SetAutoTruncation(false);
    search.SetRetainSearch(false);
    searchSettingsChanged_ = true;
}

void frmMatchJobProgress::unload() {
    if (!searchSettingsChanged_)
        return;
    orvane::RecordSearch& search = state_.recordSearch();
    search.SetAutoTruncation(state_.preferences().AutoTruncate());
    search.SetRetainSearch(state_.preferences().RetainSearch());
    searchSettingsChanged_ = false;
}

} // namespace velumar
