#include "files/file_system.h"

#include "platform/desktop_programs.h"
#include "platform/platform_services.h"
#include "security/security_profile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringConverter>
#include <QStringDecoder>
#include <QTemporaryFile>

namespace velumar {

namespace {

constexpr char RuleSetFilter[] = "DSLR Files (*.dslr)|*.dslr|All Files (*.*)|*.*";
constexpr char AllFilesFilter[] = "All Files (*.*)|*.*";
constexpr char AuthorityFilter[] = "Authority(*.aut)|*.aut";
constexpr qsizetype MaxFilenameLength = 255;

// Text the program wrote goes back to other desktops too: CR LF reads everywhere.
constexpr char LineBreak[] = "\r\n";

bool fitsInEightBits(const QString& text) {
    for (const QChar c : text)
        if (c.unicode() < 1 || c.unicode() > 255)
            return false;
    return true;
}

} // namespace

FileSystem::FileSystem(PlatformServices& platform, const SecurityProfile* profile)
    : platform_(platform), profile_(profile) {}

QString FileSystem::GetFileNameForExport(ExportKind kind, const QString& initialFolder,
                                         const QString& suggestedName) {
    FileDialogRequest request;
    request.mode = FileDialogMode::Save;
    request.initialFolder = initialFolder;
    request.confirmOverwrite = true;
    request.pathMustExist = true;
    switch (kind) {
    case ExportKind::RuleSet:
        request.filter = QString::fromLatin1(RuleSetFilter);
        request.title = QStringLiteral("Export Rule Set To Disk");
        request.suggestedName = QStringLiteral("*.dslr");
        request.defaultExtension = QStringLiteral("dslr");
        break;
    case ExportKind::RecordSet:
        request.filter = QStringLiteral("Text Files (*.txt)|*.txt");
        request.title = QStringLiteral("Export Record Set To Disk");
        request.suggestedName = suggestedName;
        request.defaultExtension = QStringLiteral("txt");
        break;
    case ExportKind::MarcRecords:
        request.filter = QStringLiteral("MARC files (*.mrc)|*.mrc");
        request.title = QStringLiteral("Export MARC Records to Disk");
        request.suggestedName = suggestedName;
        request.defaultExtension = QStringLiteral("mrc");
        break;
    }
    return platform_.ChooseFile(request);
}

QString FileSystem::MarcImportFilter() const {
    QStringList patterns;
    QStringList singles;
    if (profile_ && (profile_->RSBA() || profile_->RSBU())) {
        patterns << QStringLiteral("*.bib");
        singles << QStringLiteral("Bibliographic (*.bib)|*.bib");
    }
    if (profile_ && (profile_->RSAA() || profile_->RSAU())) {
        patterns << QStringLiteral("*.aut");
        singles << QString::fromLatin1(AuthorityFilter);
    }
    if (patterns.isEmpty())
        return QString::fromLatin1(AllFilesFilter);
    const QString joined = patterns.join(QLatin1Char(';'));
    return QStringLiteral("MARC (") + joined + QStringLiteral(")|") + joined + QLatin1Char('|') +
           singles.join(QLatin1Char('|')) + QLatin1Char('|') + QString::fromLatin1(AllFilesFilter);
}

QString FileSystem::GetFileNameForImport(ImportKind kind, const QString& initialFolder) {
    FileDialogRequest request;
    request.mode = FileDialogMode::Open;
    request.initialFolder = initialFolder;
    request.mustExist = kind != ImportKind::Program;
    request.pathMustExist = true;
    switch (kind) {
    case ImportKind::RuleSet:
        request.filter = QString::fromLatin1(RuleSetFilter);
        request.defaultExtension = QStringLiteral("dslr");
        request.title = QStringLiteral("Import Rule Set From Disk");
        break;
    case ImportKind::RecordIdList:
        request.filter = QString::fromLatin1(AllFilesFilter);
        request.title = QStringLiteral("Select Record List");
        break;
    case ImportKind::Program: {
        const ProgramChoice programs = ProgramChoiceFor(ThisDesktop());
        request.filter = programs.filter;
        request.defaultExtension = programs.defaultExtension;
        request.programsOnly = programs.programsOnly;
        request.title = QStringLiteral("Select Application");
        break;
    }
    case ImportKind::MarcRecords:
        request.filter = MarcImportFilter();
        request.title = QStringLiteral("Select File Containing MARC Records");
        break;
    case ImportKind::AuthorityRecords:
        request.filter = QString::fromLatin1(AuthorityFilter) + QLatin1Char('|') + AllFilesFilter;
        request.defaultExtension = QStringLiteral("aut");
        request.title = QStringLiteral("Select File Containing Authority Records");
        break;
    }
    return platform_.ChooseFile(request);
}

QString FileSystem::GetFileContents(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        recordError(file);
        return {};
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        recordError(file);
        return {};
    }
    // Reading a file with nothing in it is a failure the operator is told
    // of, the same way as one that cannot be opened.
    if (bytes.isEmpty()) {
        errorNumber_ = 62;
        errorDescription_ = QStringLiteral("Input past end of file");
        return {};
    }
    clearError();
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        QStringDecoder utf16(QStringConverter::Utf16); // drops the byte order mark
        return utf16(bytes);
    }
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    return QString::fromLatin1(bytes);
}

bool FileSystem::WriteContentsToFile(const QString& path, const QString& text) {
    const QString whole = text + QString::fromLatin1(LineBreak);
    QByteArray bytes;
    if (fitsInEightBits(text)) {
        bytes = whole.toLatin1();
    } else {
        QStringEncoder utf16(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
        bytes = utf16(whole);
    }
    return WriteBytesToFile(path, bytes);
}

bool FileSystem::WriteBytesToFile(const QString& path, const QByteArray& bytes) {
    // Written beside the target and renamed over it on success, so a failed
    // write leaves the file it would have replaced as it was.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        recordError(file);
        file.cancelWriting();
        return false;
    }
    clearError();
    return true;
}

QString FileSystem::CreateTempFile(const QString& extension) {
    QTemporaryFile file(QDir::tempPath() + QStringLiteral("/velumarXXXXXX.") + extension);
    file.setAutoRemove(false);
    if (!file.open()) {
        recordError(file);
        return {};
    }
    clearError();
    return file.fileName();
}

std::unique_ptr<QFile> FileSystem::OpenBinaryFile(const QString& path) {
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::ReadOnly)) {
        recordError(*file);
        return nullptr;
    }
    clearError();
    return file;
}

void FileSystem::DisplayFileOpenError(const QString& path) {
    if (errorNumber_ == 0)
        return;
    Message message;
    message.text = QStringLiteral("Could not open the file \"") + path +
                   QStringLiteral("\"\r\n\r\nError #") + QString::number(errorNumber_) +
                   QStringLiteral(": ") + errorDescription_;
    message.icon = MessageIcon::Exclamation;
    platform_.ShowMessage(message);
}

void FileSystem::ValidateFilename(QString& name) {
    name.truncate(MaxFilenameLength);
    for (QChar& c : name)
        if (QStringLiteral("\\/:*?\"<>|").contains(c))
            c = QLatin1Char('_');
}

void FileSystem::recordError(const QFileDevice& file) {
    const QFileInfo info(file.fileName());
    switch (file.error()) {
    case QFileDevice::OpenError:
        if (!info.absoluteDir().exists()) {
            errorNumber_ = 76;
            errorDescription_ = QStringLiteral("Path not found");
        } else if (!info.exists()) {
            errorNumber_ = 53;
            errorDescription_ = QStringLiteral("File not found");
        } else {
            errorNumber_ = 75;
            errorDescription_ = QStringLiteral("Path/File access error");
        }
        break;
    case QFileDevice::PermissionsError:
        errorNumber_ = 70;
        errorDescription_ = QStringLiteral("Permission denied");
        break;
    case QFileDevice::ReadError:
    case QFileDevice::WriteError:
    case QFileDevice::ResourceError:
        errorNumber_ = 57;
        errorDescription_ = QStringLiteral("Device I/O error");
        break;
    default:
        errorNumber_ = 75;
        errorDescription_ = QStringLiteral("Path/File access error");
        break;
    }
}

void FileSystem::clearError() {
    errorNumber_ = 0;
    errorDescription_.clear();
}

} // namespace velumar
