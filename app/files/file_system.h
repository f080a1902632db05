#pragma once
// The file dialogs of each kind of file the program exchanges with the disk,
// and whole-file reading and writing: a file is opened, read or written
// whole, and closed in the same operation.
//
// A failed operation records an error number, kept until the next failure
// or success: 53 file not found, 76 path not found, 70 permission denied,
// 75 other access error, 57 read or write error, 62 nothing to read.

#include <QString>
#include <memory>

class QFile;
class QFileDevice;

namespace velumar {

class PlatformServices;
class SecurityProfile;

enum class ExportKind { RuleSet = 0, RecordSet = 1, MarcRecords = 3 };
enum class ImportKind {
    RuleSet = 0,
    RecordIdList = 1,
    Program = 2,
    MarcRecords = 3,
    AuthorityRecords = 4
};

class FileSystem {
public:
    // The profile decides which record types the MARC records import offers;
    // without one it offers none but "All Files".
    explicit FileSystem(PlatformServices& platform, const SecurityProfile* profile = nullptr);

    // The chosen path; empty when the operator cancelled.
    QString GetFileNameForExport(ExportKind kind, const QString& initialFolder,
                                 const QString& suggestedName);
    QString GetFileNameForImport(ImportKind kind, const QString& initialFolder);
    // The filter of the MARC records import, from the operator's rights.
    QString MarcImportFilter() const;

    // The whole text; UTF-16 when the file starts with its byte order mark,
    // UTF-8 when the bytes are valid UTF-8, else one character per byte.
    // Empty, with the error recorded, when the file cannot be read or is
    // empty (62, "Input past end of file").
    QString GetFileContents(const QString& path);
    // Creates or replaces the file with the text and a line break: one byte
    // per character, or UTF-16 (with its byte order mark) when a character
    // lies outside codes 1 to 255. A failed write leaves the old file whole.
    bool WriteContentsToFile(const QString& path, const QString& text);
    // Creates or replaces the file with exactly these bytes, through a file
    // beside it that is renamed over it once complete.
    bool WriteBytesToFile(const QString& path, const QByteArray& bytes);
    // A new, empty file of a unique name in the temporary folder, with the
    // extension (without its dot); empty on failure.
    QString CreateTempFile(const QString& extension = QStringLiteral("tmp"));
    // Open for reading bytes; null, with the error recorded, on failure.
    std::unique_ptr<QFile> OpenBinaryFile(const QString& path);

    // 0 when the last operation succeeded.
    int LastErrorNumber() const { return errorNumber_; }
    QString LastErrorDescription() const { return errorDescription_; }
    // When an error is recorded: "Could not open the file "path"", the number
    // and the description, with the exclamation icon.
    void DisplayFileOpenError(const QString& path);

    // At most 255 characters, and none of \ / : * ? " < > | (each becomes "_").
    static void ValidateFilename(QString& name);

private:
    void recordError(const QFileDevice& file);
    void clearError();

    PlatformServices& platform_;
    const SecurityProfile* profile_;
    int errorNumber_ = 0;
    QString errorDescription_;
};

} // namespace velumar
