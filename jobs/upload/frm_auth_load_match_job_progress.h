#pragma once
// "Auth Load Match Job Progress": uploads an authority file into its job
// (see AuthLoadMatchJobUpload), showing the records uploaded and the
// invalid records.

#include "upload/job_progress_screen.h"

class QLabel;

namespace velumar {

class frmAuthLoadMatchJobProgress : public JobProgressScreen {
    Q_OBJECT
public:
    explicit frmAuthLoadMatchJobProgress(SessionState& state, QWidget* parent = nullptr);

    void Initialize(qint32 jobId, int recordTypeId, const QString& sourceFile,
                    const QString& encoding);

private:
    void load() override;

    QLabel* lblJobName_;
    QLabel* lblSourceFile_;
    qint32 jobId_ = 0;
    QString sourceFile_;
};

} // namespace velumar
