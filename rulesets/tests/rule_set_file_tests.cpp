// ".dslr" files: a rule text written with CR LF line breaks, in 8-bit text
// or UTF-16 as its characters need, and read back as a new document.
#include "files/file_system.h"
#include "rule_set_file.h"
#include "rule_sets_fixture.h"

#include <QFile>
#include <QTemporaryDir>

namespace velumar {
namespace {

namespace wire = orvane::wire;
using testing::RuleSetsTest;

class RuleSetFileTest : public RuleSetsTest {
protected:
    void loadDocument(const std::string& text) {
        transport->queue("GET_RULE_DOCUMENTS",
                         {0, {{"ID", 3}, {"NM", "n"}, {"DSC", ""}, {"CO", ""}, {"UO", ""},
                              {"UD", ""}, {"DOC", text}}});
        ruleSets().LoadRuleDocuments(2);
    }

    QByteArray bytesOf(const QString& path) {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return file.readAll();
    }

    QTemporaryDir dir;
    FileSystem files{platform};
};

TEST_F(RuleSetFileTest, LoneLineFeedsAreWrittenAsCrLfAndReadBackWithOneMore) {
    const std::string text = "# h\nrule \"a\"\n  when\n  then\n    SUPPRESS\nend\n";
    loadDocument(text);
    const QString path = dir.filePath("a.dslr");
    platform.ChooseFileNext(path);
    ASSERT_TRUE(ExportRuleDocument(ruleSets(), files, 2, 3));
    EXPECT_EQ(platform.FileRequests().back().title, "Export Rule Set To Disk");
    EXPECT_EQ(bytesOf(path),
              QByteArray("# h\r\nrule \"a\"\r\n  when\r\n  then\r\n    SUPPRESS\r\nend\r\n\r\n"));

    platform.ChooseFileNext(path);
    const auto imported = ImportRuleDocument(files);
    ASSERT_TRUE(imported);
    EXPECT_EQ(platform.FileRequests().back().title, "Import Rule Set From Disk");
    EXPECT_EQ(imported->Name, "");
    EXPECT_EQ(imported->Description, path.toStdString());
    EXPECT_EQ(imported->Text,
              "# h\r\nrule \"a\"\r\n  when\r\n  then\r\n    SUPPRESS\r\nend\r\n\r\n");
}

TEST_F(RuleSetFileTest, CrLfStaysAndCharactersBeyond255MakeUtf16) {
    EXPECT_EQ(RuleTextForFile("a\r\nb\rc\n"), "a\r\nbc\r\n");
    loadDocument("# Caf\xc3\xa9 \xe6\x9b\xb8\r\n");
    const QString path = dir.filePath("u.dslr");
    platform.ChooseFileNext(path);
    ASSERT_TRUE(ExportRuleDocument(ruleSets(), files, 2, 3));
    const QByteArray bytes = bytesOf(path);
    ASSERT_GE(bytes.size(), 2);
    EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 0xFF); // UTF-16 byte order mark
    platform.ChooseFileNext(path);
    const auto imported = ImportRuleDocument(files);
    ASSERT_TRUE(imported);
    EXPECT_EQ(imported->Text, "# Caf\xc3\xa9 \xe6\x9b\xb8\r\n\r\n");

    // Latin-1 only: one byte per character.
    loadDocument("# Caf\xc3\xa9\n");
    platform.ChooseFileNext(path);
    ASSERT_TRUE(ExportRuleDocument(ruleSets(), files, 2, 3));
    EXPECT_EQ(bytesOf(path), QByteArray("# Caf\xe9\r\n\r\n"));
}

TEST_F(RuleSetFileTest, NothingIsWrittenOrMadeWhenCancelledMissingOrEmpty) {
    loadDocument("x");
    EXPECT_FALSE(ExportRuleDocument(ruleSets(), files, 2, 3)); // cancelled
    EXPECT_FALSE(ExportRuleDocument(ruleSets(), files, 2, 99));
    EXPECT_FALSE(ImportRuleDocument(files));
    const QString empty = dir.filePath("empty.dslr");
    QFile(empty).open(QIODevice::WriteOnly);
    platform.ChooseFileNext(empty);
    EXPECT_FALSE(ImportRuleDocument(files));
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).size() == 1);
}

} // namespace
} // namespace velumar
