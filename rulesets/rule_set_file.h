#pragma once
// Rule documents on the operator's disk as ".dslr" files: one file, one
// rule text, line breaks CR LF.

#include <QString>
#include <optional>

namespace rules {
class RuleDocument;
}

namespace velumar {

class FileSystem;
class RuleSets;

// The text as the file holds it: no lone CR, every LF a CR LF (the file
// writer adds the final CR LF).
QString RuleTextForFile(const QString& text);

// Asks for a file and writes the document's rule text to it; false when
// there is no such document, the operator cancelled or writing failed
// (the file system reports that).
bool ExportRuleDocument(RuleSets& ruleSets, FileSystem& files, int ruleType, qint32 id,
                        const QString& initialFolder = {});

// Asks for a file and makes a new, unsaved document of its text: no name,
// the file's path as description. None when cancelled or the file is empty
// or unreadable (reported by the file system).
std::optional<rules::RuleDocument> ImportRuleDocument(FileSystem& files,
                                                      const QString& initialFolder = {});

} // namespace velumar
