#include "testing/recording_platform_services.h"

#include <ostream>

namespace velumar {

namespace {

MessageAnswer firstButton(MessageButtons buttons) {
    switch (buttons) {
    case MessageButtons::Ok:
    case MessageButtons::OkCancel:
        return MessageAnswer::Ok;
    case MessageButtons::YesNo:
    case MessageButtons::YesNoCancel:
        return MessageAnswer::Yes;
    case MessageButtons::RetryCancel:
        return MessageAnswer::Retry;
    case MessageButtons::AbortRetryIgnore:
        return MessageAnswer::Abort;
    }
    return MessageAnswer::Ok;
}

} // namespace

MessageAnswer RecordingPlatformServices::ShowMessage(const Message& message) {
    MessageAnswer answer = firstButton(message.buttons);
    if (!answers_.empty()) {
        answer = answers_.front();
        answers_.pop_front();
    }
    messages_.push_back(
        {message.title, message.text, message.icon, message.buttons, answer, message.defaultAnswer});
    return answer;
}

namespace {

template <typename T> T takeFront(std::deque<T>& queue) {
    if (queue.empty())
        return T{};
    T front = std::move(queue.front());
    queue.pop_front();
    return front;
}

} // namespace

QString RecordingPlatformServices::ChooseFile(const FileDialogRequest& request) {
    fileRequests_.push_back(request);
    return takeFront(files_);
}

QString RecordingPlatformServices::ChooseFolder(const FolderRequest& request) {
    folderRequests_.push_back(request);
    return takeFront(folders_);
}

std::optional<QColor> RecordingPlatformServices::ChooseColour(ColourRequest& request) {
    colourRequests_.push_back(request);
    const ColourAnswer answer = takeFront(colours_);
    if (!answer.customColours.isEmpty())
        request.customColours = answer.customColours;
    if (!answer.colour.isValid())
        return std::nullopt;
    return answer.colour;
}

bool RecordingPlatformServices::OpenUrl(const QUrl& url) {
    urls_.push_back(url);
    return openSucceeds_;
}

bool RecordingPlatformServices::StartProgram(const ProgramRequest& request) {
    programs_.push_back(request);
    return openSucceeds_;
}

QStringList RecordingPlatformServices::Texts() const {
    QStringList texts;
    for (const auto& m : messages_)
        texts.push_back(m.text);
    return texts;
}

const char* nameOf(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::None:
        return "None";
    case MessageIcon::Information:
        return "Information";
    case MessageIcon::Question:
        return "Question";
    case MessageIcon::Exclamation:
        return "Exclamation";
    case MessageIcon::Critical:
        return "Critical";
    }
    return "?";
}

const char* nameOf(MessageButtons buttons) {
    switch (buttons) {
    case MessageButtons::Ok:
        return "Ok";
    case MessageButtons::OkCancel:
        return "OkCancel";
    case MessageButtons::YesNo:
        return "YesNo";
    case MessageButtons::YesNoCancel:
        return "YesNoCancel";
    case MessageButtons::RetryCancel:
        return "RetryCancel";
    case MessageButtons::AbortRetryIgnore:
        return "AbortRetryIgnore";
    }
    return "?";
}

const char* nameOf(MessageAnswer answer) {
    switch (answer) {
    case MessageAnswer::Ok:
        return "Ok";
    case MessageAnswer::Cancel:
        return "Cancel";
    case MessageAnswer::Yes:
        return "Yes";
    case MessageAnswer::No:
        return "No";
    case MessageAnswer::Retry:
        return "Retry";
    case MessageAnswer::Abort:
        return "Abort";
    case MessageAnswer::Ignore:
        return "Ignore";
    }
    return "?";
}

void PrintTo(const ShownMessage& message, std::ostream* out) {
    *out << "{title \"" << message.title.toStdString() << "\", text \""
         << message.text.toStdString() << "\", icon " << nameOf(message.icon) << ", buttons "
         << nameOf(message.buttons) << ", answered " << nameOf(message.answer) << "}";
}

} // namespace velumar
