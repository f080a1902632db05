// Files: the dialogs of each kind, whole-file reading and writing in 8 bits
// or UTF-16, the error report, and file name cleaning.
#include "files/file_system.h"
#include "platform/desktop_programs.h"
#include "qt_printers.h"
#include "request_channel.h"
#include "testing/scripted_server.h"
#include "scripted_transport.h"
#include "security/security_profile.h"
#include "testing/recording_platform_services.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <csignal>
#include <sys/resource.h>

namespace velumar {
namespace {

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class FileSystemTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    RecordingPlatformServices platform;
    FileSystem files{platform};
};

TEST_F(FileSystemTest, EightBitTextIsWrittenOneBytePerCharacterWithALineBreak) {
    const QString path = dir.filePath("ids.txt");
    ASSERT_TRUE(files.WriteContentsToFile(path, QString::fromLatin1("caf\xe9 12")));
    EXPECT_EQ(bytesOf(path), QByteArray("caf\xe9 12\r\n"));
    EXPECT_EQ(files.GetFileContents(path), QString::fromLatin1("caf\xe9 12\r\n"));
    EXPECT_EQ(files.LastErrorNumber(), 0);
}

TEST_F(FileSystemTest, TextBeyondEightBitsIsWrittenAsUtf16AndReadBack) {
    const QString path = dir.filePath("rules.dslr");
    const QString text = QStringLiteral("245 $a \u0141\u00f3d\u017a");
    ASSERT_TRUE(files.WriteContentsToFile(path, text));
    const QByteArray bytes = bytesOf(path);
    EXPECT_TRUE(bytes.startsWith("\xFF\xFE"));
    EXPECT_EQ(bytes.size(), 2 + 2 * (text.size() + 2));
    EXPECT_EQ(files.GetFileContents(path), text + "\r\n");

    // A character below code 1 takes the UTF-16 road too.
    const QString withNul = dir.filePath("nul.txt");
    ASSERT_TRUE(files.WriteContentsToFile(withNul, QString("a") + QChar(0) + "b"));
    EXPECT_TRUE(bytesOf(withNul).startsWith("\xFF\xFE"));
}

TEST_F(FileSystemTest, AFailedOpenIsRecordedAndReportedOnce) {
    const QString missing = dir.filePath("no/such/file.txt");
    EXPECT_EQ(files.GetFileContents(missing), QString());
    EXPECT_EQ(files.LastErrorNumber(), 76);
    files.DisplayFileOpenError(missing);
    EXPECT_EQ(files.OpenBinaryFile(dir.filePath("absent.mrc")), nullptr);
    EXPECT_EQ(files.LastErrorNumber(), 53);

    ASSERT_EQ(platform.Messages().size(), 1u);
    EXPECT_EQ(platform.Messages()[0].text,
              "Could not open the file \"" + missing + "\"\r\n\r\nError #76: Path not found");
    EXPECT_EQ(platform.Messages()[0].icon, MessageIcon::Exclamation);

    // A success clears the error, and then nothing is reported.
    const QString temp = files.CreateTempFile();
    EXPECT_TRUE(temp.endsWith(".tmp"));
    EXPECT_TRUE(QFile::exists(temp));
    EXPECT_NE(files.CreateTempFile(), temp);
    EXPECT_NE(files.OpenBinaryFile(temp), nullptr);
    EXPECT_EQ(files.LastErrorNumber(), 0);
    files.DisplayFileOpenError(temp);
    EXPECT_EQ(platform.Messages().size(), 1u);
    QFile::remove(temp);
}

TEST_F(FileSystemTest, AnEmptyFileIsAFailedReadThatIsReported) {
    const QString empty = dir.filePath("empty.txt");
    {
        QFile file(empty);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    EXPECT_EQ(files.GetFileContents(empty), QString());
    EXPECT_EQ(files.LastErrorNumber(), 62);
    files.DisplayFileOpenError(empty);
    ASSERT_EQ(platform.Messages().size(), 1u);
    EXPECT_EQ(platform.Messages()[0].text,
              "Could not open the file \"" + empty + "\"\r\n\r\nError #62: Input past end of file");
}

// A write that fails part-way (here: past a file size limit the process is
// held to) leaves the file it was to replace as it was, and nothing beside it.
TEST_F(FileSystemTest, AWriteThatFailsLeavesTheOldFileWhole) {
    const QString path = dir.filePath("rules.dslr");
    ASSERT_TRUE(files.WriteContentsToFile(path, "old rules"));
    const QByteArray big(64 * 1024, 'x');

    struct rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool wroteText = files.WriteContentsToFile(path, QString::fromLatin1(big));
    const int textError = files.LastErrorNumber();
    const bool wroteBytes = files.WriteBytesToFile(path, big);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(wroteText);
    EXPECT_FALSE(wroteBytes);
    EXPECT_NE(textError, 0);
    EXPECT_NE(files.LastErrorNumber(), 0);
    EXPECT_EQ(bytesOf(path), QByteArray("old rules\r\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"rules.dslr"});

    // Within the limit the file is replaced whole.
    ASSERT_TRUE(files.WriteContentsToFile(path, "new rules"));
    EXPECT_EQ(bytesOf(path), QByteArray("new rules\r\n"));
}

TEST(DesktopPrograms, WindowsKeepsItsExeTextsAndOtherDesktopsTakeAnyRunnableFile) {
    const ProgramChoice windows = ProgramChoiceFor(Desktop::Windows);
    EXPECT_EQ(windows.filter, "Programs (*.exe)|*.exe");
    EXPECT_EQ(windows.defaultExtension, "exe");
    EXPECT_FALSE(windows.programsOnly);
    const ProgramChoice other = ProgramChoiceFor(Desktop::Other);
    EXPECT_EQ(other.filter, "Programs (*)|*");
    EXPECT_EQ(other.defaultExtension, "") << "no \".exe\" added to a typed name";
    EXPECT_TRUE(other.programsOnly);
    EXPECT_EQ(ViewerCaptionFor(Desktop::Windows),
              "Viewer for Job Log and Result files - leave empty to use default Windows "
              "application for *.txt files");
    EXPECT_EQ(ViewerCaptionFor(Desktop::Other),
              "Viewer for Job Log and Result files - leave empty to use the desktop's default "
              "application for *.txt files");

    QTemporaryDir dir;
    const QString plain = dir.filePath("notes");
    const QString script = dir.filePath("view");
    for (const QString& path : {plain, script}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\n");
    }
    ASSERT_TRUE(QFile::setPermissions(script, QFile::permissions(script) | QFile::ExeOwner));
    struct Case {
        QString path;
        Desktop desktop;
        bool runnable;
    };
    const std::vector<Case> cases{
        {script, Desktop::Other, true},     {plain, Desktop::Other, false},
        {dir.path(), Desktop::Other, false}, {dir.filePath("absent"), Desktop::Other, false},
        {plain, Desktop::Windows, true},    {dir.filePath("absent"), Desktop::Windows, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsRunnableProgram(c.path, c.desktop), c.runnable)
            << c.path.toStdString() << (c.desktop == Desktop::Windows ? " on Windows" : "");
}

TEST(ValidateFilename, CutsTo255AndReplacesEveryForbiddenCharacter) {
    QString longName(300, QChar('n'));
    FileSystem::ValidateFilename(longName);
    EXPECT_EQ(longName.size(), 255);

    QString name = R"(a\b/c:d*e?f"g<h>i|j.txt)";
    FileSystem::ValidateFilename(name);
    EXPECT_EQ(name, "a_b_c_d_e_f_g_h_i_j.txt");
}

TEST_F(FileSystemTest, ExportDialogsCarryTheFilterTitleAndExtensionOfTheirKind) {
    platform.ChooseFileNext("/tmp/out.dslr");
    EXPECT_EQ(files.GetFileNameForExport(ExportKind::RuleSet, "/data", "ignored"), "/tmp/out.dslr");
    EXPECT_EQ(files.GetFileNameForExport(ExportKind::RecordSet, "/data", "set 12.txt"), "");
    files.GetFileNameForExport(ExportKind::MarcRecords, "", "recs.mrc");

    const auto& asked = platform.FileRequests();
    ASSERT_EQ(asked.size(), 3u);
    EXPECT_EQ(asked[0].mode, FileDialogMode::Save);
    EXPECT_EQ(asked[0].filter, "DSLR Files (*.dslr)|*.dslr|All Files (*.*)|*.*");
    EXPECT_EQ(asked[0].title, "Export Rule Set To Disk");
    EXPECT_EQ(asked[0].suggestedName, "*.dslr");
    EXPECT_EQ(asked[0].defaultExtension, "dslr");
    EXPECT_EQ(asked[0].initialFolder, "/data");
    EXPECT_TRUE(asked[0].confirmOverwrite);
    EXPECT_TRUE(asked[0].pathMustExist);
    EXPECT_EQ(asked[1].filter, "Text Files (*.txt)|*.txt");
    EXPECT_EQ(asked[1].title, "Export Record Set To Disk");
    EXPECT_EQ(asked[1].suggestedName, "set 12.txt");
    EXPECT_EQ(asked[1].defaultExtension, "txt");
    EXPECT_EQ(asked[2].filter, "MARC files (*.mrc)|*.mrc");
    EXPECT_EQ(asked[2].title, "Export MARC Records to Disk");
    EXPECT_EQ(asked[2].defaultExtension, "mrc");
}

TEST_F(FileSystemTest, ImportDialogsOfEachKind) {
    files.GetFileNameForImport(ImportKind::RuleSet, "/r");
    files.GetFileNameForImport(ImportKind::RecordIdList, "/i");
    files.GetFileNameForImport(ImportKind::Program, "/p");
    files.GetFileNameForImport(ImportKind::AuthorityRecords, "/a");

    const auto& asked = platform.FileRequests();
    ASSERT_EQ(asked.size(), 4u);
    EXPECT_EQ(asked[0].title, "Import Rule Set From Disk");
    EXPECT_EQ(asked[0].defaultExtension, "dslr");
    EXPECT_TRUE(asked[0].mustExist);
    EXPECT_EQ(asked[1].title, "Select Record List");
    EXPECT_EQ(asked[1].filter, "All Files (*.*)|*.*");
    EXPECT_EQ(asked[2].title, "Select Application");
    const ProgramChoice programs = ProgramChoiceFor(ThisDesktop());
    EXPECT_EQ(asked[2].filter, programs.filter);
    EXPECT_EQ(asked[2].defaultExtension, programs.defaultExtension);
    EXPECT_EQ(asked[2].programsOnly, programs.programsOnly);
    EXPECT_FALSE(asked[2].mustExist);
    EXPECT_FALSE(asked[0].programsOnly);
    EXPECT_EQ(asked[3].title, "Select File Containing Authority Records");
    EXPECT_EQ(asked[3].filter, "Authority(*.aut)|*.aut|All Files (*.*)|*.*");
    EXPECT_EQ(asked[3].defaultExtension, "aut");
    EXPECT_TRUE(asked[3].mustExist);
}

TEST(MarcImportFilter, OffersTheRecordTypesTheOperatorMayPutInRecordSets) {
    const auto filterFor = [](const QStringList& held) {
        auto transport = std::make_shared<orvane::testing::ScriptedTransport>();
        testing::scriptHealthyServer(*transport, held);
        orvane::RequestChannel channel(transport, "tok");
        const SecurityProfile profile(channel, "jsmith");
        RecordingPlatformServices platform;
        FileSystem files(platform, &profile);
        files.GetFileNameForImport(ImportKind::MarcRecords, "");
        EXPECT_EQ(platform.FileRequests().at(0).title, "Select File Containing MARC Records");
        return platform.FileRequests().at(0).filter;
    };
    EXPECT_EQ(filterFor({"RSBA", "RSAU"}),
              "MARC (*.bib;*.aut)|*.bib;*.aut|Bibliographic (*.bib)|*.bib|Authority(*.aut)|*.aut|"
              "All Files (*.*)|*.*");
    EXPECT_EQ(filterFor({"RSBU"}),
              "MARC (*.bib)|*.bib|Bibliographic (*.bib)|*.bib|All Files (*.*)|*.*");
    EXPECT_EQ(filterFor({"RSMA"}), "All Files (*.*)|*.*");
}

} // namespace
} // namespace velumar
