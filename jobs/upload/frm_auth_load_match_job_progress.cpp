#include "upload/frm_auth_load_match_job_progress.h"

#include "job_manager.h"
#include "session/session_state.h"
#include "upload/auth_load_match_job_upload.h"

#include <QLabel>

namespace velumar {

frmAuthLoadMatchJobProgress::frmAuthLoadMatchJobProgress(SessionState& state, QWidget* parent)
    : JobProgressScreen(state, QStringLiteral("frmAuthLoadMatchJobProgress"),
                        QStringLiteral("Auth Load Match Job Progress"),
                        QStringLiteral("Records Uploaded:"), QStringLiteral("Invalid Records:"),
                        parent),
      lblJobName_(addInfo("lblJobName", QStringLiteral("Job Name:"))),
      lblSourceFile_(addInfo("lblSourceFile", QStringLiteral("Source File:"))) {}

void frmAuthLoadMatchJobProgress::Initialize(qint32 jobId, int recordTypeId,
                                             const QString& sourceFile, const QString& encoding) {
    jobId_ = jobId;
    sourceFile_ = sourceFile;
    setWork(std::make_unique<AuthLoadMatchJobUpload>(
        state_, AuthLoadMatchJobInputs{jobId, recordTypeId, sourceFile, encoding}, *this));
}

void frmAuthLoadMatchJobProgress::load() {
    if (const auto job = state_.manager<JobManager>().FetchJob(jobId_))
        lblJobName_->setText(job->Name());
    lblSourceFile_->setText(sourceFile_);
}

} // namespace velumar
