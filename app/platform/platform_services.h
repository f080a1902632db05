#pragma once
// Everything the program asks of the desktop that waits on the operator or
// leaves the program: message boxes now; file dialogs, folder and colour
// pickers and opening a file in its viewer join here as their screens come.
// The application uses QtPlatformServices; tests use a recorder that answers
// as the test says and keeps everything shown, so no test waits on a dialog.
//
// Each operation takes one request struct and answers the operator's choice,
// so a new option is a new member with a default, not a new signature.

#include <QString>

class QWidget;

namespace velumar {

enum class MessageIcon { None, Information, Question, Exclamation, Critical };

enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel, AbortRetryIgnore };

enum class MessageAnswer { Ok, Cancel, Yes, No, Retry, Abort, Ignore };

struct Message {
    QString text;
    QString title; // empty: the program's name
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
    QWidget* parent = nullptr; // null: the active window
};

class PlatformServices {
public:
    virtual ~PlatformServices() = default;

    // A modal message box; answers the button chosen. Closing the box
    // without a button answers Cancel, No, or Ok (whichever the box has).
    virtual MessageAnswer ShowMessage(const Message& message) = 0;
};

} // namespace velumar
