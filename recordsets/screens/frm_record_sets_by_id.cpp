#include "screens/frm_record_sets_by_id.h"

#include "files/file_system.h"
#include "main_window/frm_main.h"
#include "preferences/preferences.h"
#include "record_set_warning.h"
#include "record_sets.h"
#include "record_type_purpose.h"
#include "security/security_profile.h"
#include "session/busy_state.h"
#include "session/session_state.h"
#include "text_limit.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <limits>

namespace velumar {

namespace {

template <typename W> W* named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QLineEdit* idField(const char* name, QWidget* owner) {
    auto* field = named(new QLineEdit, name);
    field->setValidator(new QIntValidator(1, std::numeric_limits<qint32>::max(), owner));
    field->setMaximumWidth(110);
    return field;
}

} // namespace

frmRecordSets_Specific::frmRecordSets_Specific(SessionState& state, QWidget* parent)
    : FunctionScreen(QStringLiteral("frmRecordSets_Specific"), HelpContext, parent), state_(state),
      sets_(state.manager<RecordSets>()) {
    build();
    registration_ = sets_.Screens().Register([this](qint32 id) { RefillRecordSets(id); });
    sets_.LoadRecordSets();
    {
        const QSignalBlocker quiet(cboRecordType_);
        sets_.FillRecordTypeList(*cboRecordType_, PurposeRecordSetScreens);
    }
    recordTypeChanged();
}

void frmRecordSets_Specific::build() {
    cboRecordType_ = named(new QComboBox, "cboRecordType");
    auto* typeLabel = new QLabel(QStringLiteral("Record &type:"));
    typeLabel->setBuddy(cboRecordType_);
    auto* typeRow = new QHBoxLayout;
    typeRow->addWidget(typeLabel);
    typeRow->addWidget(cboRecordType_);
    typeRow->addStretch(1);

    // Where the ids go.
    auto* fraTarget = named(new QGroupBox(QStringLiteral("Add to")), "fraTarget");
    optRecordSetExisting_ =
        named(new QRadioButton(QStringLiteral("&Existing record set:")), "optRecordSet_0");
    optRecordSetNew_ =
        named(new QRadioButton(QStringLiteral("&New record set:")), "optRecordSet_1");
    cboRecordSet_ = named(new QComboBox, "cboRecordSet");
    fpNewRecordSet_ = named(new QLineEdit, "fpNewRecordSet");
    orvane::LimitToOctets(*fpNewRecordSet_, orvane::NameOctets); // the server's limit for "RSN"
    auto* targetGrid = new QGridLayout(fraTarget);
    targetGrid->addWidget(optRecordSetExisting_, 0, 0);
    targetGrid->addWidget(cboRecordSet_, 0, 1);
    targetGrid->addWidget(optRecordSetNew_, 1, 0);
    targetGrid->addWidget(fpNewRecordSet_, 1, 1);
    targetGrid->setColumnStretch(1, 1);

    // Which ids.
    auto* fraInput = named(new QGroupBox(QStringLiteral("Records")), "fraInput");
    optRecordId_ = named(new QRadioButton(QStringLiteral("Record &id:")), "optRecord_0");
    optRecordList_ = named(new QRadioButton(QStringLiteral("Id list &file:")), "optRecord_1");
    optRecordRange_ = named(new QRadioButton(QStringLiteral("&Range from:")), "optRecord_2");
    fpRecordId_ = idField("fpRecordId", this);
    fpRecordList_ = named(new QLineEdit, "fpRecordList");
    cmdBrowse_ = named(new QPushButton(QStringLiteral("&Browse...")), "cmdBrowse");
    fpRecordFrom_ = idField("fpRecordFrom", this);
    fpRecordTo_ = idField("fpRecordTo", this);
    auto* toLabel = new QLabel(QStringLiteral("t&o:"));
    toLabel->setBuddy(fpRecordTo_);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(fpRecordList_, 1);
    fileRow->addWidget(cmdBrowse_);
    auto* rangeRow = new QHBoxLayout;
    rangeRow->addWidget(fpRecordFrom_);
    rangeRow->addWidget(toLabel);
    rangeRow->addWidget(fpRecordTo_);
    rangeRow->addStretch(1);
    auto* inputGrid = new QGridLayout(fraInput);
    inputGrid->addWidget(optRecordId_, 0, 0);
    inputGrid->addWidget(fpRecordId_, 0, 1, Qt::AlignLeft);
    inputGrid->addWidget(optRecordList_, 1, 0);
    inputGrid->addLayout(fileRow, 1, 1);
    inputGrid->addWidget(optRecordRange_, 2, 0);
    inputGrid->addLayout(rangeRow, 2, 1);
    inputGrid->setColumnStretch(1, 1);

    cmdSave_ = named(new QPushButton(QStringLiteral("&Save")), "cmdSave");
    cmdCancel_ = named(new QPushButton(QStringLiteral("&Cancel")), "cmdCancel");
    cmdSave_->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdSave_);
    buttons->addWidget(cmdCancel_);

    fraProgress_ = named(new QWidget, "fraProgress");
    lblProgress_ = named(new QLabel, "lblProgress");
    pbProgress_ = named(new QProgressBar, "pbProgress");
    pbProgress_->setRange(0, 100);
    auto* progress = new QVBoxLayout(fraProgress_);
    progress->setContentsMargins(0, 0, 0, 0);
    progress->addWidget(lblProgress_);
    progress->addWidget(pbProgress_);
    fraProgress_->hide();

    Body()->addLayout(typeRow);
    Body()->addWidget(fraTarget);
    Body()->addWidget(fraInput);
    Body()->addLayout(buttons);
    Body()->addWidget(fraProgress_);
    Body()->addStretch(1);

    QWidget* order[] = {
        cboRecordType_,  optRecordSetExisting_, cboRecordSet_,  optRecordSetNew_, fpNewRecordSet_,
        optRecordId_,    fpRecordId_,           optRecordList_, fpRecordList_,    cmdBrowse_,
        optRecordRange_, fpRecordFrom_,         fpRecordTo_,    cmdSave_,         cmdCancel_};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(cboRecordType_, &QComboBox::currentIndexChanged, this,
            &frmRecordSets_Specific::recordTypeChanged);
    connect(cboRecordSet_, &QComboBox::currentIndexChanged, this,
            &frmRecordSets_Specific::setSaveEnabled);
    // Typing into a field chooses its option.
    connect(fpNewRecordSet_, &QLineEdit::textEdited, this, [this] { setTarget(NewSet); });
    connect(fpRecordId_, &QLineEdit::textEdited, this, [this] { setInput(OneId); });
    connect(fpRecordList_, &QLineEdit::textEdited, this, [this] { setInput(IdFile); });
    connect(fpRecordFrom_, &QLineEdit::textEdited, this, [this] { setInput(IdRange); });
    connect(fpRecordTo_, &QLineEdit::textEdited, this, [this] { setInput(IdRange); });
    for (QLineEdit* field :
         {fpNewRecordSet_, fpRecordId_, fpRecordList_, fpRecordFrom_, fpRecordTo_})
        connect(field, &QLineEdit::textChanged, this, &frmRecordSets_Specific::setSaveEnabled);
    for (QRadioButton* option :
         {optRecordSetExisting_, optRecordSetNew_, optRecordId_, optRecordList_, optRecordRange_})
        connect(option, &QRadioButton::toggled, this, &frmRecordSets_Specific::setSaveEnabled);
    connect(cmdBrowse_, &QPushButton::clicked, this, &frmRecordSets_Specific::Browse);
    connect(cmdSave_, &QPushButton::clicked, this, &frmRecordSets_Specific::Save);
    connect(cmdCancel_, &QPushButton::clicked, this, &frmRecordSets_Specific::Cancel);
    optRecordId_->setChecked(true);
}

int frmRecordSets_Specific::recordType() const {
    return cboRecordType_->currentIndex() < 0 ? 0 : cboRecordType_->currentData().toInt();
}

frmRecordSets_Specific::Target frmRecordSets_Specific::target() const {
    return optRecordSetNew_->isChecked() ? NewSet : ExistingSet;
}

frmRecordSets_Specific::Input frmRecordSets_Specific::input() const {
    if (optRecordList_->isChecked())
        return IdFile;
    return optRecordRange_->isChecked() ? IdRange : OneId;
}

void frmRecordSets_Specific::setTarget(Target choice) {
    (choice == NewSet ? optRecordSetNew_ : optRecordSetExisting_)->setChecked(true);
}

void frmRecordSets_Specific::setInput(Input choice) {
    (choice == IdFile    ? optRecordList_
     : choice == IdRange ? optRecordRange_
                         : optRecordId_)
        ->setChecked(true);
}

void frmRecordSets_Specific::recordTypeChanged() {
    const int type = recordType();
    const SecurityProfile& profile = state_.securityProfile();
    const bool existing = type && profile.RecordSetUpdate(type);
    const bool fresh = type && profile.RecordSetAdd(type);
    optRecordSetExisting_->setEnabled(existing);
    cboRecordSet_->setEnabled(existing);
    optRecordSetNew_->setEnabled(fresh);
    fpNewRecordSet_->setEnabled(fresh);
    // Keep a choice the operator may use.
    if (target() == NewSet && !fresh && existing)
        setTarget(ExistingSet);
    else if (!optRecordSetNew_->isChecked() && !optRecordSetExisting_->isChecked())
        setTarget(existing ? ExistingSet : NewSet);
    else if (target() == ExistingSet && !existing && fresh)
        setTarget(NewSet);
    RefillRecordSets(-1);
}

void frmRecordSets_Specific::RefillRecordSets(qint32 selectId) {
    if (selectId == -1 && cboRecordSet_->currentIndex() >= 0)
        selectId = cboRecordSet_->currentData().toInt();
    {
        const QSignalBlocker quiet(cboRecordSet_);
        sets_.FillRecordSetCombo(*cboRecordSet_, recordType());
        const int at = cboRecordSet_->findData(selectId);
        cboRecordSet_->setCurrentIndex(at >= 0 ? at : (cboRecordSet_->count() > 0 ? 0 : -1));
    }
    setSaveEnabled();
}

void frmRecordSets_Specific::setSaveEnabled() {
    bool inputGiven = false;
    switch (input()) {
    case OneId:
        inputGiven = !fpRecordId_->text().isEmpty();
        break;
    case IdFile:
        inputGiven = !fpRecordList_->text().trimmed().isEmpty();
        break;
    case IdRange:
        inputGiven = !fpRecordFrom_->text().isEmpty() && !fpRecordTo_->text().isEmpty();
        break;
    }
    const bool targetGiven =
        target() == NewSet
            ? optRecordSetNew_->isEnabled() && !fpNewRecordSet_->text().trimmed().isEmpty()
            : optRecordSetExisting_->isEnabled() && cboRecordSet_->currentIndex() >= 0;
    cmdSave_->setEnabled(recordType() != 0 && inputGiven && targetGiven);
}

void frmRecordSets_Specific::Browse() {
    FileSystem files(state_.platform(), &state_.securityProfile());
    const QString path =
        files.GetFileNameForImport(ImportKind::RecordIdList, state_.preferences().RecordIdDir());
    if (path.isEmpty())
        return;
    fpRecordList_->setText(path);
    setInput(IdFile);
}

QList<qint32> frmRecordSets_Specific::ParseRecordIds(const QString& text) {
    QList<qint32> ids;
    for (const QString& piece : text.split(QStringLiteral("\r\n"))) {
        bool number = false;
        const qint32 id = piece.trimmed().toInt(&number);
        if (number)
            ids.push_back(id);
    }
    return ids;
}

std::optional<qint32> frmRecordSets_Specific::RecordIdOf(const QString& text) {
    bool number = false;
    const qint64 id = text.trimmed().toLongLong(&number);
    if (!number || id < 1 || id > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return static_cast<qint32>(id);
}

QString frmRecordSets_Specific::IdOutOfRangeText() {
    return QStringLiteral("Record ids are whole numbers from 1 to 2147483647.");
}

bool frmRecordSets_Specific::readFileIds(QList<qint32>& ids) {
    const QString path = fpRecordList_->text().trimmed();
    FileSystem files(state_.platform());
    // A missing or empty file is the reader's to report.
    const QString text = files.GetFileContents(path);
    if (files.LastErrorNumber() != 0) {
        files.DisplayFileOpenError(path);
        return false;
    }
    ids = ParseRecordIds(text);
    if (ids.isEmpty()) {
        ShowRecordSetWarning(state_.platform(), QStringLiteral("No ids found in file."));
        return false;
    }
    return true;
}

bool frmRecordSets_Specific::readTypedIds(Input chosen, qint32& from, qint32& to) {
    const std::optional<qint32> first =
        RecordIdOf(chosen == OneId ? fpRecordId_->text() : fpRecordFrom_->text());
    const std::optional<qint32> last =
        chosen == OneId ? first : RecordIdOf(fpRecordTo_->text());
    if (!first || !last) {
        ShowRecordSetWarning(state_.platform(), IdOutOfRangeText());
        return false;
    }
    if (*first > *last) {
        ShowRecordSetWarning(state_.platform(), QStringLiteral("Record range is out of order."));
        return false;
    }
    from = *first;
    to = *last;
    return true;
}

void frmRecordSets_Specific::Save() {
    if (!cmdSave_->isEnabled())
        return;
    BusyGuard busy(state_.busy());
    const Input chosen = input();
    qint32 from = 0;
    qint32 to = 0;
    QList<qint32> ids;
    if (chosen == IdFile ? !readFileIds(ids) : !readTypedIds(chosen, from, to))
        return;

    const int type = recordType();
    const bool toNewSet = target() == NewSet;
    QString name;
    qint32 targetId = -1;
    if (toNewSet) {
        name = fpNewRecordSet_->text().trimmed();
        // Made before any id is sent; a taken name has been told and stops here.
        targetId = sets_.AddRecordSet(name, type);
    } else if (cboRecordSet_->currentIndex() >= 0) {
        name = cboRecordSet_->currentText();
        targetId = cboRecordSet_->currentData().toInt();
    }
    if (targetId == -1)
        return;

    // A range goes batch by batch as it is counted, however long it is.
    const bool added = chosen == IdFile
                           ? sets_.AddToRecordSet(ids, targetId, type, this)
                           : sets_.AddRangeToRecordSet(from, to, targetId, type, this);
    if (added && state_.hasMainWindow()) {
        const QString text = chosen == OneId ? QStringLiteral("Record successfully added to set '")
                             : chosen == IdFile
                                 ? QStringLiteral("Records successfully added to set '")
                                 : QStringLiteral("Records in range successfully added to set '");
        state_.mainWindow().ShowStatusMessage(text + name + QLatin1Char('\''));
    }
    sets_.RefreshRecordSetScreens(targetId);
    RefillRecordSets(targetId);
    // The set just made exists now, whether or not every id went in: a retry
    // goes to it rather than trying to make it again.
    if (toNewSet) {
        fpNewRecordSet_->clear();
        if (optRecordSetExisting_->isEnabled())
            setTarget(ExistingSet);
    }
    if (added)
        clearInputs();
}

void frmRecordSets_Specific::clearInputs() {
    for (QLineEdit* field :
         {fpNewRecordSet_, fpRecordId_, fpRecordList_, fpRecordFrom_, fpRecordTo_})
        field->clear();
}

void frmRecordSets_Specific::Cancel() {
    clearInputs();
}

void frmRecordSets_Specific::ProgressShow(int current, int maximum) {
    lblProgress_->setText(
        current == 0 ? QStringLiteral("Adding records...")
                     : QStringLiteral("Adding %1 of %2 records...").arg(current).arg(maximum));
    pbProgress_->setValue(
        maximum > 0 ? static_cast<int>(static_cast<qint64>(current) * 100 / maximum) : 0);
    fraProgress_->show();
    // The sends hold the event loop: draw the panel now.
    fraProgress_->repaint();
}

void frmRecordSets_Specific::ProgressHide() {
    fraProgress_->hide();
    lblProgress_->clear();
    pbProgress_->reset();
}

} // namespace velumar
