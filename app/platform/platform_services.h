#pragma once
// Everything the program asks of the desktop that waits on the operator or
// leaves the program: message boxes, file dialogs, the folder and colour
// pickers, opening a page or file in the desktop's viewer, and starting a
// program the operator chose.
// The application uses QtPlatformServices; tests use a recorder that answers
// as the test says and keeps everything shown, so no test waits on a dialog.
//
// Each operation takes one request struct and answers the operator's choice,
// so a new option is a new member with a default, not a new signature.

#include <QColor>
#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <optional>

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
    // The button Enter presses; none: the box's first.
    std::optional<MessageAnswer> defaultAnswer = std::nullopt;
};

enum class FileDialogMode { Open, Save };

struct FileDialogRequest {
    FileDialogMode mode = FileDialogMode::Open;
    QString title;
    // Pairs of description and patterns, all joined by "|":
    // "Text Files (*.txt)|*.txt|All Files (*.*)|*.*"; patterns of one entry by ";".
    QString filter;
    QString defaultExtension; // without the dot; added to a name typed without one
    QString initialFolder;
    QString suggestedName;
    bool confirmOverwrite = false; // save: ask before replacing a file
    bool mustExist = false;        // open: only an existing file
    bool pathMustExist = false;    // the folder of the answer must exist
    bool programsOnly = false;     // open: list only files the desktop can run
    QWidget* parent = nullptr;
};

struct FolderRequest {
    QString prompt;
    QString initialFolder;
    QWidget* parent = nullptr;
};

// A program started with arguments, not waited for.
struct ProgramRequest {
    QString program;
    QStringList arguments;
};

struct ColourRequest {
    QColor initial;
    // The picker's 16 custom colours: given to it and, after it closes,
    // read back from here (the operator may have changed them).
    QList<QColor> customColours;
    QWidget* parent = nullptr;
};

class PlatformServices {
public:
    virtual ~PlatformServices() = default;

    // A modal message box; answers the button chosen. Closing the box
    // without a button answers Cancel, No, or Ok (whichever the box has).
    virtual MessageAnswer ShowMessage(const Message& message) = 0;

    // The chosen path; empty when the operator cancelled.
    virtual QString ChooseFile(const FileDialogRequest& request) = 0;
    // The chosen folder; empty when the operator cancelled.
    virtual QString ChooseFolder(const FolderRequest& request) = 0;
    // The chosen colour; none when the operator cancelled. The custom
    // colours of the request are updated either way.
    virtual std::optional<QColor> ChooseColour(ColourRequest& request) = 0;
    // Opens a page or a file in the desktop's viewer for it; false when none would.
    virtual bool OpenUrl(const QUrl& url) = 0;
    // Starts a program of the operator's choice; false when it could not start.
    virtual bool StartProgram(const ProgramRequest& request) = 0;
};

} // namespace velumar
