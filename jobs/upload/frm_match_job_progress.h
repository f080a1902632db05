#pragma once
// "Match Job Progress": runs a match job from its MARC file (see
// MatchJobUpload), showing the matches found and the read or search errors.

#include "upload/job_progress_screen.h"

class QLabel;

namespace velumar {

class frmMatchJobProgress : public JobProgressScreen {
    Q_OBJECT
public:
    explicit frmMatchJobProgress(SessionState& state, QWidget* parent = nullptr);

    void Initialize(qint32 jobId, qint32 saveSetId, int recordTypeId, const QString& sourceFile,
                    const QString& encoding);

private:
    void load() override;
    void unload() override;

    QLabel* lblJobName_;
    QLabel* lblSourceFile_;
    QLabel* lblRecordType_;
    qint32 jobId_ = 0;
    int recordType_ = 0;
    QString sourceFile_;
    bool searchSettingsChanged_ = false;
};

} // namespace velumar
