#include "submit/marc_source_fields.h"

#include "charsets/character_set_table.h"
#include "files/file_system.h"
#include "preferences/preferences.h"
#include "security/security_profile.h"
#include "session/session_state.h"

#include <QComboBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace velumar {

MarcSourceFields::MarcSourceFields(SessionState& state, ImportKind kind, QFormLayout& form,
                                   QWidget* owner)
    : QObject(owner), state_(state), kind_(kind), fpRecordList_(new QLineEdit),
      cmdBrowse_(new QPushButton(QStringLiteral("..."))), cboFileEncoding_(new QComboBox) {
    fpRecordList_->setObjectName(QStringLiteral("fpRecordList"));
    fpRecordList_->setMinimumWidth(360);
    cmdBrowse_->setObjectName(QStringLiteral("cmdBrowse"));
    cmdBrowse_->setToolTip(QStringLiteral("Choose the file"));
    cmdBrowse_->setFixedWidth(32);
    cboFileEncoding_->setObjectName(QStringLiteral("cboFileEncoding"));
    cboFileEncoding_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    auto* file = new QHBoxLayout;
    file->addWidget(fpRecordList_, 1);
    file->addWidget(cmdBrowse_);
    // A row of two widgets takes no buddy by itself: the label needs one for its access key.
    auto* label = new QLabel(QStringLiteral("&Source File:"));
    label->setBuddy(fpRecordList_);
    form.addRow(label, file);
    form.addRow(QStringLiteral("Source File &Encoding:"), cboFileEncoding_);
    connect(cmdBrowse_, &QPushButton::clicked, this, &MarcSourceFields::Browse);
    connect(fpRecordList_, &QLineEdit::textChanged, this, &MarcSourceFields::Changed);
    connect(cboFileEncoding_, &QComboBox::currentIndexChanged, this, &MarcSourceFields::Changed);
    Reset();
}

QString MarcSourceFields::StoredPath(const QString& path) {
    const QString lower = path.toLower();
    if (lower == path)
        return path;
    const QFileInfo asChosen(path);
    const QFileInfo lowered(lower);
    return lowered.exists() && lowered.canonicalFilePath() == asChosen.canonicalFilePath() ? lower
                                                                                           : path;
}

void MarcSourceFields::Browse() {
    FileSystem files(state_.platform(), &state_.securityProfile());
    const QString chosen =
        files.GetFileNameForImport(kind_, state_.preferences().BinaryMarcRecDir());
    if (!chosen.isEmpty())
        fpRecordList_->setText(StoredPath(chosen));
}

QString MarcSourceFields::SourceFile() const {
    return fpRecordList_->text().trimmed();
}

QString MarcSourceFields::EncodingCode() const {
    const auto& sets = state_.characterSets().Entries();
    const int at = cboFileEncoding_->currentIndex();
    return at < 0 || at >= sets.size() ? QString() : sets[at].Code;
}

void MarcSourceFields::Reset() {
    fpRecordList_->clear();
    cboFileEncoding_->clear();
    state_.preferences().PopulateCharSets(*cboFileEncoding_, state_.characterSets());
}

} // namespace velumar
