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

    bool operator==(const ShownMessage&) const = default;
};

class RecordingPlatformServices final : public PlatformServices {
public:
    // The answer to the next message box; answers are used in order.
    void AnswerNext(MessageAnswer answer) { answers_.push_back(answer); }

    MessageAnswer ShowMessage(const Message& message) override;

    const std::vector<ShownMessage>& Messages() const { return messages_; }
    QStringList Texts() const;
    std::size_t UnusedAnswers() const { return answers_.size(); }
    void Clear() { messages_.clear(); }

private:
    std::deque<MessageAnswer> answers_;
    std::vector<ShownMessage> messages_;
};

// Readable test failures.
const char* nameOf(MessageIcon icon);
const char* nameOf(MessageButtons buttons);
const char* nameOf(MessageAnswer answer);
void PrintTo(const ShownMessage& message, std::ostream* out);

} // namespace velumar
