#include "upload/job_progress_screen.h"

#include "upload/upload_work.h"

#include <QCloseEvent>
#include <QElapsedTimer>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace velumar {

namespace {

// How long the work holds the window before it may repaint and take clicks.
constexpr qint64 SliceMilliseconds = 40;

QLabel* named(const char* name, const QString& text = QString()) {
    auto* label = new QLabel(text);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

} // namespace

JobProgressScreen::JobProgressScreen(SessionState& state, const QString& name, const QString& title,
                                     const QString& foundCaption, const QString& errorCaption,
                                     QWidget* parent)
    : QDialog(parent), state_(state), info_(new QFormLayout),
      lblProgress_(named("lblProgress", QStringLiteral("Searching for MARC records in file..."))),
      pbProgress_(new QProgressBar), lblFound_(named("lblFound", QStringLiteral("0"))),
      lblErrors_(named("lblErrors", QStringLiteral("0"))),
      cmdCancel_(new QPushButton(QStringLiteral("&Cancel Job"))) {
    setObjectName(name);
    setWindowTitle(title);
    setModal(true);
    pbProgress_->setObjectName(QStringLiteral("pbProgress"));
    pbProgress_->setRange(0, 100);
    pbProgress_->setValue(0);
    cmdCancel_->setObjectName(QStringLiteral("cmdCancel"));
    connect(cmdCancel_, &QPushButton::clicked, this, &JobProgressScreen::CancelJob);

    auto* counters = new QFormLayout;
    counters->addRow(foundCaption, lblFound_);
    counters->addRow(errorCaption, lblErrors_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdCancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(info_);
    layout->addSpacing(8);
    layout->addWidget(lblProgress_);
    layout->addWidget(pbProgress_);
    layout->addLayout(counters);
    layout->addLayout(buttons);
    setMinimumWidth(480);
}

JobProgressScreen::~JobProgressScreen() = default;

void JobProgressScreen::setWork(std::unique_ptr<UploadWork> work) {
    work_ = std::move(work);
}

QLabel* JobProgressScreen::addInfo(const char* name, const QString& caption) {
    QLabel* value = named(name);
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    info_->addRow(caption, value);
    return value;
}

void JobProgressScreen::ShowProgress(const UploadCounters& counters) {
    lblProgress_->setText(ProgressText(counters));
    pbProgress_->setValue(ProgressPercent(counters));
    lblFound_->setText(QString::number(counters.found));
    lblErrors_->setText(QString::number(counters.errors));
}

QString JobProgressScreen::ProgressLabel() const {
    return lblProgress_->text();
}
int JobProgressScreen::ProgressValue() const {
    return pbProgress_->value();
}
QString JobProgressScreen::FoundCount() const {
    return lblFound_->text();
}
QString JobProgressScreen::ErrorCount() const {
    return lblErrors_->text();
}

void JobProgressScreen::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (started_)
        return;
    started_ = true;
    load();
    // The window paints itself first, then the work begins.
    QTimer::singleShot(0, this, &JobProgressScreen::runSlice);
}

void JobProgressScreen::runSlice() {
    QElapsedTimer slice;
    slice.start();
    while (work_ && work_->Step()) {
        if (slice.elapsed() >= SliceMilliseconds) {
            QTimer::singleShot(0, this, &JobProgressScreen::runSlice);
            return;
        }
    }
    finished_ = true;
    unload();
    accept();
}

void JobProgressScreen::CancelJob() {
    if (finished_)
        accept();
    else if (work_)
        work_->RequestCancel();
}

void JobProgressScreen::closeEvent(QCloseEvent* event) {
    // Closing the window while the work runs is asking it to stop.
    if (!finished_ && started_) {
        CancelJob();
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void JobProgressScreen::reject() {
    if (!finished_ && started_)
        CancelJob();
    else
        QDialog::reject();
}

} // namespace velumar
