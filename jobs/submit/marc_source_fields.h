#pragma once
// The two rows of the match screens that name the local MARC file: the
// source file, chosen with the file open dialog in the operator's folder
// for MARC records, and its encoding, a character set of the server's list
// with the operator's default preselected.

#include <QObject>
#include <QString>

class QComboBox;
class QFormLayout;
class QLineEdit;
class QPushButton;
class QWidget;

namespace velumar {

class SessionState;
enum class ImportKind;

class MarcSourceFields : public QObject {
    Q_OBJECT
public:
    // Adds the rows "&Source File:" and "Source File &Encoding:" to the form.
    MarcSourceFields(SessionState& state, ImportKind kind, QFormLayout& form, QWidget* owner);

    // The file open dialog; a chosen path replaces the source file.
    void Browse();
    QString SourceFile() const;
    // The chosen character set's code; empty when none is chosen.
    QString EncodingCode() const;
    bool Complete() const { return !SourceFile().isEmpty() && !EncodingCode().isEmpty(); }
    // No file, and the operator's default encoding.
    void Reset();

    QLineEdit* SourceBox() const { return fpRecordList_; }

    // The path as it is kept: in lower case where the file system ignores
    // case (the same file answers to it), else as chosen.
    static QString StoredPath(const QString& path);

signals:
    void Changed();

private:
    SessionState& state_;
    ImportKind kind_;
    QLineEdit* fpRecordList_;
    QPushButton* cmdBrowse_;
    QComboBox* cboFileEncoding_;
};

} // namespace velumar
