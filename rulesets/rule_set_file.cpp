#include "rule_set_file.h"

#include "files/file_system.h"
#include "rule_document.h"
#include "rule_sets.h"

namespace velumar {

QString RuleTextForFile(const QString& text) {
    QString result = text;
    result.remove('\r');
    result.replace('\n', QStringLiteral("\r\n"));
    return result;
}

bool ExportRuleDocument(RuleSets& ruleSets, FileSystem& files, int ruleType, qint32 id,
                        const QString& initialFolder) {
    const auto* document = ruleSets.GetRuleDocument(ruleType, id);
    if (!document)
        return false;
    const QString path = files.GetFileNameForExport(ExportKind::RuleSet, initialFolder, {});
    if (path.isEmpty())
        return false;
    if (files.WriteContentsToFile(path, RuleTextForFile(QString::fromStdString(document->Text))))
        return true;
    files.DisplayFileOpenError(path);
    return false;
}

std::optional<rules::RuleDocument> ImportRuleDocument(FileSystem& files,
                                                      const QString& initialFolder) {
    const QString path = files.GetFileNameForImport(ImportKind::RuleSet, initialFolder);
    if (path.isEmpty())
        return std::nullopt;
    const QString text = files.GetFileContents(path);
    if (text.isEmpty()) {
        files.DisplayFileOpenError(path);
        return std::nullopt;
    }
    rules::RuleDocument document;
    document.Description = path.toStdString();
    document.LoadText(text.toStdString());
    return document;
}

} // namespace velumar
