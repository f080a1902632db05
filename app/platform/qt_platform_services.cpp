#include "platform/qt_platform_services.h"

#include <QApplication>
#include <QColorDialog>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QStringList>

namespace velumar {

namespace {

QMessageBox::Icon qtIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::Exclamation:
        return QMessageBox::Warning;
    case MessageIcon::Critical:
        return QMessageBox::Critical;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons qtButtons(MessageButtons buttons) {
    switch (buttons) {
    case MessageButtons::Ok:
        return QMessageBox::Ok;
    case MessageButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case MessageButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case MessageButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MessageButtons::RetryCancel:
        return QMessageBox::Retry | QMessageBox::Cancel;
    case MessageButtons::AbortRetryIgnore:
        return QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
    }
    return QMessageBox::Ok;
}

QMessageBox::StandardButton qtButton(MessageAnswer answer) {
    switch (answer) {
    case MessageAnswer::Ok:
        return QMessageBox::Ok;
    case MessageAnswer::Cancel:
        return QMessageBox::Cancel;
    case MessageAnswer::Yes:
        return QMessageBox::Yes;
    case MessageAnswer::No:
        return QMessageBox::No;
    case MessageAnswer::Retry:
        return QMessageBox::Retry;
    case MessageAnswer::Abort:
        return QMessageBox::Abort;
    case MessageAnswer::Ignore:
        return QMessageBox::Ignore;
    }
    return QMessageBox::NoButton;
}

MessageAnswer answerOf(int button, MessageButtons buttons) {
    switch (button) {
    case QMessageBox::Ok:
        return MessageAnswer::Ok;
    case QMessageBox::Cancel:
        return MessageAnswer::Cancel;
    case QMessageBox::Yes:
        return MessageAnswer::Yes;
    case QMessageBox::No:
        return MessageAnswer::No;
    case QMessageBox::Retry:
        return MessageAnswer::Retry;
    case QMessageBox::Abort:
        return MessageAnswer::Abort;
    case QMessageBox::Ignore:
        return MessageAnswer::Ignore;
    default:
        break;
    }
    // Closed without a button: the box's way out.
    switch (buttons) {
    case MessageButtons::Ok:
        return MessageAnswer::Ok;
    case MessageButtons::YesNo:
        return MessageAnswer::No;
    case MessageButtons::AbortRetryIgnore:
        return MessageAnswer::Abort;
    default:
        return MessageAnswer::Cancel;
    }
}

QWidget* parentOr(QWidget* parent) {
    return parent ? parent : QApplication::activeWindow();
}

// "Text Files (*.txt)|*.txt|All Files (*.*)|*.*" as Qt writes it:
// "Text Files (*.txt);;All Files (*)". The patterns of each entry decide
// what it matches, whatever its description says.
QString qtFilter(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        const qsizetype paren = description.lastIndexOf(QLatin1Char('('));
        if (paren > 0 && description.endsWith(QLatin1Char(')')))
            description = description.left(paren).trimmed();
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        patterns.replace(QStringLiteral("*.*"), QStringLiteral("*"));
        entries.push_back(description + QStringLiteral(" (") + patterns + QLatin1Char(')'));
    }
    return entries.join(QStringLiteral(";;"));
}

} // namespace

QString QtPlatformServices::ChooseFile(const FileDialogRequest& request) {
    QFileDialog dialog(parentOr(request.parent), request.title, request.initialFolder,
                       qtFilter(request.filter));
    const bool save = request.mode == FileDialogMode::Save;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save || !request.mustExist ? QFileDialog::AnyFile
                                                  : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(request.defaultExtension);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    dialog.setOption(QFileDialog::ReadOnly, false);
    if (request.programsOnly)
        dialog.setFilter(QDir::AllDirs | QDir::Files | QDir::Executable | QDir::NoDot);
    // A pattern in place of a name ("*.dslr") is only a hint of the type.
    if (!request.suggestedName.isEmpty() && !request.suggestedName.contains(QLatin1Char('*')))
        dialog.selectFile(request.suggestedName);
    for (;;) {
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return {};
        const QString chosen = dialog.selectedFiles().constFirst();
        if (!request.pathMustExist || QFileInfo(chosen).absoluteDir().exists())
            return chosen;
    }
}

QString QtPlatformServices::ChooseFolder(const FolderRequest& request) {
    return QFileDialog::getExistingDirectory(parentOr(request.parent), request.prompt,
                                             request.initialFolder);
}

std::optional<QColor> QtPlatformServices::ChooseColour(ColourRequest& request) {
    for (int i = 0; i < request.customColours.size() && i < QColorDialog::customCount(); ++i)
        QColorDialog::setCustomColor(i, request.customColours[i]);
    const QColor chosen = QColorDialog::getColor(request.initial, parentOr(request.parent));
    for (int i = 0; i < request.customColours.size() && i < QColorDialog::customCount(); ++i)
        request.customColours[i] = QColorDialog::customColor(i);
    if (!chosen.isValid())
        return std::nullopt;
    return chosen;
}

bool QtPlatformServices::OpenUrl(const QUrl& url) {
    return QDesktopServices::openUrl(url);
}

bool QtPlatformServices::StartProgram(const ProgramRequest& request) {
    return QProcess::startDetached(request.program, request.arguments);
}

MessageAnswer QtPlatformServices::ShowMessage(const Message& message) {
    const QString title =
        message.title.isEmpty() ? QApplication::applicationDisplayName() : message.title;
    QWidget* parent = message.parent ? message.parent : QApplication::activeWindow();
    QMessageBox box(qtIcon(message.icon), title, message.text, qtButtons(message.buttons), parent);
    if (message.defaultAnswer)
        box.setDefaultButton(qtButton(*message.defaultAnswer));
    return answerOf(box.exec(), message.buttons);
}

} // namespace velumar
