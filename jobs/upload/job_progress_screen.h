#pragma once
// What the two upload screens share: a modal window that names the job and
// its file, runs its work as soon as it is shown (a piece at a time, so the
// window keeps answering), shows the progress and two counters, and closes
// itself when the work ends. "&Cancel Job" asks the work to stop; the
// record in hand is finished first.

#include "upload/upload_counters.h"

#include <QDialog>
#include <memory>

class QFormLayout;
class QLabel;
class QProgressBar;
class QPushButton;

namespace velumar {

class SessionState;
class UploadWork;

class JobProgressScreen : public QDialog, public UploadDisplay {
    Q_OBJECT
public:
    ~JobProgressScreen() override;

    void ShowProgress(const UploadCounters& counters) override;
    // While the work runs: asks it to stop. Afterwards: closes the window.
    void CancelJob();
    bool Finished() const { return finished_; }

    // The labels as the operator sees them.
    QString ProgressLabel() const;
    int ProgressValue() const;
    QString FoundCount() const;
    QString ErrorCount() const;

protected:
    JobProgressScreen(SessionState& state, const QString& name, const QString& title,
                      const QString& foundCaption, const QString& errorCaption, QWidget* parent);

    // Adds a caption and its value above the progress.
    QLabel* addInfo(const char* name, const QString& caption);
    void setWork(std::unique_ptr<UploadWork> work);
    // Called once, when first shown, before the work starts: the job's name and the like.
    virtual void load() = 0;
    // Called once the work has ended, before the window closes.
    virtual void unload() {}

    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

    SessionState& state_;

private:
    // Runs pieces of the work for a moment, then lets the window answer.
    void runSlice();

    QFormLayout* info_;
    QLabel* lblProgress_;
    QProgressBar* pbProgress_;
    QLabel* lblFound_;
    QLabel* lblErrors_;
    QPushButton* cmdCancel_;
    std::unique_ptr<UploadWork> work_;
    bool started_ = false;
    bool finished_ = false;
};

} // namespace velumar
