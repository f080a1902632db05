#pragma once
// Platform services for tests: shows nothing, keeps every message box asked
// for, and answers each with the answer the test queued, or else with the
// box's first button (Ok, Yes, Retry or Abort).

#include "platform/platform_services.h"

#include <QStringList>
#include <deque>
#include <iosfwd>
#include <vector>

namespace velumar {

struct ShownMessage {
    QString title;
    QString text;
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
    MessageAnswer answer = MessageAnswer::Ok; // what the recorder answered
    std::optional<MessageAnswer> defaultAnswer = std::nullopt; // the box's Enter button, as asked

    bool operator==(const ShownMessage&) const = default;
};

// File, folder and colour pickers answer what the test queued for them, or
// else as cancelled; every request is kept. Opened pages and started
// programs are kept and reported as opened, unless the test says otherwise.
class RecordingPlatformServices final : public PlatformServices {
public:
    // The answer to the next message box; answers are used in order.
    void AnswerNext(MessageAnswer answer) { answers_.push_back(answer); }
    // The next file dialog's path; empty: cancelled.
    void ChooseFileNext(const QString& path) { files_.push_back(path); }
    void ChooseFolderNext(const QString& folder) { folders_.push_back(folder); }
    // The next colour picker's colour; an invalid colour: cancelled. With
    // custom colours, the picker leaves those in place of the ones it got.
    void ChooseColourNext(const QColor& colour, const QList<QColor>& customColours = {}) {
        colours_.push_back({colour, customColours});
    }

    // Whether the desktop opens what it is asked to open (pages, files, programs).
    void SetOpenSucceeds(bool succeeds) { openSucceeds_ = succeeds; }

    MessageAnswer ShowMessage(const Message& message) override;
    QString ChooseFile(const FileDialogRequest& request) override;
    QString ChooseFolder(const FolderRequest& request) override;
    std::optional<QColor> ChooseColour(ColourRequest& request) override;
    bool OpenUrl(const QUrl& url) override;
    bool StartProgram(const ProgramRequest& request) override;

    const std::vector<ShownMessage>& Messages() const { return messages_; }
    QStringList Texts() const;
    std::size_t UnusedAnswers() const { return answers_.size(); }
    void Clear() { messages_.clear(); }

    const std::vector<FileDialogRequest>& FileRequests() const { return fileRequests_; }
    const std::vector<FolderRequest>& FolderRequests() const { return folderRequests_; }
    const std::vector<ColourRequest>& ColourRequests() const { return colourRequests_; }
    const QList<QUrl>& OpenedUrls() const { return urls_; }
    const std::vector<ProgramRequest>& StartedPrograms() const { return programs_; }

private:
    struct ColourAnswer {
        QColor colour;
        QList<QColor> customColours;
    };

    std::deque<MessageAnswer> answers_;
    std::deque<QString> files_;
    std::deque<QString> folders_;
    std::deque<ColourAnswer> colours_;
    std::vector<ShownMessage> messages_;
    std::vector<FileDialogRequest> fileRequests_;
    std::vector<FolderRequest> folderRequests_;
    std::vector<ColourRequest> colourRequests_;
    QList<QUrl> urls_;
    std::vector<ProgramRequest> programs_;
    bool openSucceeds_ = true;
};

// Readable test failures.
const char* nameOf(MessageIcon icon);
const char* nameOf(MessageButtons buttons);
const char* nameOf(MessageAnswer answer);
void PrintTo(const ShownMessage& message, std::ostream* out);

} // namespace velumar
