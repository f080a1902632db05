#include "screens/frm_record_sets_view.h"

#include "common/messages.h"
#include "files/file_system.h"
#include "grid/grid.h"
#include "grid/grid_helpers.h"
#include "preferences/preferences.h"
#include "record_set_warning.h"
#include "record_sets.h"
#include "record_types.h"
#include "request_channel.h"
#include "security/security_profile.h"
#include "session.h"
#include "session/busy_state.h"
#include "session/session_state.h"
#include "text_limit.h"

#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace velumar {

namespace {

QLineEdit* readOnlyField(const char* name) {
    auto* field = new QLineEdit;
    field->setObjectName(QString::fromLatin1(name));
    field->setReadOnly(true);
    field->setFocusPolicy(Qt::ClickFocus);
    return field;
}

QPlainTextEdit* descriptionBox(const char* name, bool readOnly) {
    auto* box = new QPlainTextEdit;
    box->setObjectName(QString::fromLatin1(name));
    box->setReadOnly(readOnly);
    box->setTabChangesFocus(true);
    box->setFixedHeight(52);
    return box;
}

QLabel* caption(const QString& text, QWidget* buddy) {
    auto* label = new QLabel(text);
    label->setBuddy(buddy);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

// Name and description on full rows; count and type, then date and operator, side by side.
void layOutPanel(QGridLayout* grid, QWidget* name, const QString& nameCaption, QWidget* desc,
                 const QString& descCaption, QWidget* count, QWidget* type, QWidget* date,
                 QWidget* by) {
    grid->addWidget(caption(nameCaption, name), 0, 0);
    grid->addWidget(name, 0, 1, 1, 3);
    auto* descLabel = caption(descCaption, desc);
    descLabel->setAlignment(Qt::AlignRight | Qt::AlignTop);
    grid->addWidget(descLabel, 1, 0);
    grid->addWidget(desc, 1, 1, 1, 3);
    grid->addWidget(caption(QStringLiteral("Records:"), count), 2, 0);
    grid->addWidget(count, 2, 1);
    grid->addWidget(caption(QStringLiteral("Record type:"), type), 2, 2);
    grid->addWidget(type, 2, 3);
    grid->addWidget(caption(QStringLiteral("Last changed:"), date), 3, 0);
    grid->addWidget(date, 3, 1);
    grid->addWidget(caption(QStringLiteral("By:"), by), 3, 2);
    grid->addWidget(by, 3, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
}

} // namespace

frmRecordSets_View::frmRecordSets_View(SessionState& state, QWidget* parent)
    : FunctionScreen(QStringLiteral("frmRecordSets_View"), HelpContext, parent), state_(state),
      sets_(state.manager<RecordSets>()) {
    build();
    registration_ = sets_.Screens().Register([this](qint32 id) { RefillRecordSets(id); });
    sets_.LoadRecordSets();
    RefillRecordSets();
}

void frmRecordSets_View::build() {
    vsf_ = new Grid;
    vsf_->setObjectName(QStringLiteral("vsf"));
    vsf_->SetHeadings({QStringLiteral("Name"), QStringLiteral("Type"), QStringLiteral("Records")});
    vsf_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    vsf_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    vsf_->horizontalHeader()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    vsf_->SetChannel(&state_.channel());
    connect(vsf_, &QTableWidget::itemSelectionChanged, this, [this] {
        if (mode_ == Mode::None) {
            showSelected();
            setButtons();
        }
    });

    auto makeButton = [](const char* name, const QString& text) {
        auto* button = new QPushButton(text);
        button->setObjectName(QString::fromLatin1(name));
        return button;
    };
    cmdEdit_ = makeButton("cmdEdit", QStringLiteral("&Edit"));
    cmdCopy_ = makeButton("cmdCopy", QStringLiteral("C&opy"));
    cmdDelete_ = makeButton("cmdDelete", QStringLiteral("&Delete"));
    cmdExport_ = makeButton("cmdExport", QStringLiteral("E&xport..."));
    connect(cmdEdit_, &QPushButton::clicked, this, &frmRecordSets_View::Edit);
    connect(cmdCopy_, &QPushButton::clicked, this, &frmRecordSets_View::Copy);
    connect(cmdDelete_, &QPushButton::clicked, this, &frmRecordSets_View::Delete);
    connect(cmdExport_, &QPushButton::clicked, this, &frmRecordSets_View::Export);

    auto* buttons = new QVBoxLayout;
    for (QPushButton* button : {cmdEdit_, cmdCopy_, cmdDelete_, cmdExport_})
        buttons->addWidget(button);
    buttons->addStretch(1);
    auto* top = new QHBoxLayout;
    top->addWidget(vsf_, 1);
    top->addLayout(buttons);

    // The selected set, read-only.
    fraView_ = new QGroupBox(QStringLiteral("Record set"));
    fraView_->setObjectName(QStringLiteral("fraView"));
    lblViewName_ = readOnlyField("lblViewName");
    txtViewDesc_ = descriptionBox("txtViewDesc", true);
    txtViewDesc_->setFocusPolicy(Qt::ClickFocus);
    fpViewCount_ = readOnlyField("fpViewCount");
    fpViewCount_->setAlignment(Qt::AlignRight | Qt::AlignVCenter); // a count, as in the grid
    lblViewType_ = readOnlyField("lblViewType");
    lblViewModified_ = readOnlyField("lblViewModified");
    lblViewModifiedBy_ = readOnlyField("lblViewModifiedBy");
    auto* viewGrid = new QGridLayout(fraView_);
    layOutPanel(viewGrid, lblViewName_, QStringLiteral("Name:"), txtViewDesc_,
                QStringLiteral("Description:"), fpViewCount_, lblViewType_, lblViewModified_,
                lblViewModifiedBy_);

    // The same fields, name and description editable, for an edit or a copy.
    fraEdit_ = new QGroupBox;
    fraEdit_->setObjectName(QStringLiteral("fraEdit"));
    fpName_ = new QLineEdit;
    orvane::LimitToOctets(*fpName_, orvane::NameOctets); // the server's limit for "RSN"
    fpName_->setObjectName(QStringLiteral("fpName"));
    txtDesc_ = descriptionBox("txtDesc", false);
    fpCount_ = readOnlyField("fpCount");
    lblType_ = readOnlyField("lblType");
    fpModified_ = readOnlyField("fpModified");
    fpModifiedBy_ = readOnlyField("fpModifiedBy");
    cmdSave_ = makeButton("cmdSave", QStringLiteral("&Save"));
    cmdCancel_ = makeButton("cmdCancel", QStringLiteral("&Cancel"));
    cmdSave_->setDefault(true);
    auto* editGrid = new QGridLayout(fraEdit_);
    layOutPanel(editGrid, fpName_, QStringLiteral("&Name:"), txtDesc_,
                QStringLiteral("Descri&ption:"), fpCount_, lblType_, fpModified_, fpModifiedBy_);
    auto* editButtons = new QHBoxLayout;
    editButtons->addStretch(1);
    editButtons->addWidget(cmdSave_);
    editButtons->addWidget(cmdCancel_);
    editGrid->addLayout(editButtons, 4, 0, 1, 4);
    connect(fpName_, &QLineEdit::textChanged, this,
            [this] { cmdSave_->setEnabled(!fpName_->text().trimmed().isEmpty()); });
    connect(cmdSave_, &QPushButton::clicked, this, &frmRecordSets_View::Save);
    connect(cmdCancel_, &QPushButton::clicked, this, &frmRecordSets_View::Cancel);

    auto* panels = new QStackedWidget;
    panels->setObjectName(QStringLiteral("panels"));
    panels->addWidget(fraView_);
    panels->addWidget(fraEdit_);

    Body()->addLayout(top, 1);
    Body()->addSpacing(6);
    Body()->addWidget(panels);

    setTabOrder(vsf_, cmdEdit_);
    setTabOrder(cmdEdit_, cmdCopy_);
    setTabOrder(cmdCopy_, cmdDelete_);
    setTabOrder(cmdDelete_, cmdExport_);
    setTabOrder(fpName_, txtDesc_);
    setTabOrder(txtDesc_, cmdSave_);
    setTabOrder(cmdSave_, cmdCancel_);
    closePanel();
}

qint32 frmRecordSets_View::selectedId() const {
    return GetGridSelection(*vsf_).rowData;
}

void frmRecordSets_View::RefillRecordSets(qint32 selectId) {
    // Another screen's refresh must not move the selection from the set being edited.
    if (mode_ != Mode::None)
        selectId = editId_;
    else if (selectId == -1)
        selectId = selectedId();
    {
        const QSignalBlocker quiet(vsf_);
        sets_.FillRecordSetGrid(*vsf_, selectId);
        // The operator always sees a set when there is one.
        if (GetGridSelection(*vsf_).row < 0 && vsf_->rowCount() > 0)
            SelectGridRow(*vsf_, 0, -1);
    }
    showSelected();
    setButtons();
}

void frmRecordSets_View::showSelected() {
    const RecordSet* set = sets_.GetRecordSet(selectedId());
    lblViewName_->setText(set ? set->Name() : QString());
    txtViewDesc_->setPlainText(set ? set->Description() : QString());
    fpViewCount_->setText(set ? QString::number(set->RecordCount()) : QString());
    lblViewType_->setText(set ? set->RecordTypeName() : QString());
    lblViewModified_->setText(set ? set->UpdateDate() : QString());
    lblViewModifiedBy_->setText(set ? set->UpdateOperator() : QString());
}

void frmRecordSets_View::setButtons() {
    const bool idle = mode_ == Mode::None;
    vsf_->setEnabled(idle);
    const GridSelection selection = GetGridSelection(*vsf_);
    // The type as the grid shows it: what the operator sees is what is judged.
    const int type =
        selection.row < 0 ? 0 : sets_.GetRecordTypeId(vsf_->TextMatrix(selection.row, 1));
    const SecurityProfile& profile = state_.securityProfile();
    cmdCopy_->setEnabled(idle && type && profile.RecordSetAdd(type));
    cmdEdit_->setEnabled(idle && type && profile.RecordSetUpdate(type));
    cmdDelete_->setEnabled(idle && type && profile.RecordSetDelete(type));
    cmdExport_->setEnabled(idle && type && profile.RecordSetView(type));
}

bool frmRecordSets_View::EditInProgress() const {
    return mode_ != Mode::None;
}

void frmRecordSets_View::openPanel(Mode mode) {
    const RecordSet* set = sets_.GetRecordSet(selectedId());
    if (!set)
        return;
    mode_ = mode;
    editId_ = set->Id();
    const bool edit = mode == Mode::Edit;
    fraEdit_->setTitle(edit ? QStringLiteral("Edit record set:")
                            : QStringLiteral("Copy record set:"));
    // A copy's name is cut to what the server keeps, as typing would be.
    fpName_->setText(edit ? set->Name()
                          : orvane::CutToOctets(QStringLiteral("Copy of ") + set->Name(),
                                                orvane::NameOctets));
    txtDesc_->setPlainText(set->Description());
    fpCount_->setText(QString::number(set->RecordCount()));
    lblType_->setText(set->RecordTypeName());
    // A copy is new: it has no history yet.
    fpModified_->setText(edit ? set->UpdateDate() : QString());
    fpModifiedBy_->setText(edit ? set->UpdateOperator() : QString());
    qobject_cast<QStackedWidget*>(fraEdit_->parentWidget())->setCurrentWidget(fraEdit_);
    setButtons();
    fpName_->setFocus();
    fpName_->selectAll();
}

void frmRecordSets_View::closePanel() {
    mode_ = Mode::None;
    if (auto* panels = qobject_cast<QStackedWidget*>(fraView_->parentWidget()))
        panels->setCurrentWidget(fraView_);
    showSelected();
    setButtons();
}

void frmRecordSets_View::Edit() {
    if (cmdEdit_->isEnabled())
        openPanel(Mode::Edit);
}

void frmRecordSets_View::Copy() {
    if (cmdCopy_->isEnabled())
        openPanel(Mode::Copy);
}

void frmRecordSets_View::Cancel() {
    closePanel();
}

void frmRecordSets_View::Save() {
    if (mode_ == Mode::None || !cmdSave_->isEnabled())
        return;
    const qint32 id = editId_;
    const QString name = fpName_->text().trimmed();
    const QString description = txtDesc_->toPlainText();
    qint32 result = 0;
    {
        BusyGuard busy(state_.busy());
        result = mode_ == Mode::Edit ? sets_.UpdateRecordSet(id, name, description)
                                     : sets_.CopyRecordSet(id, name, description);
    }
    // On failure the operator has been told; the panel stays for another try.
    if (result < 1)
        return;
    closePanel();
    BusyGuard busy(state_.busy());
    sets_.RefreshRecordSetScreens(result);
}

void frmRecordSets_View::Delete() {
    const RecordSet* set = sets_.GetRecordSet(selectedId());
    if (!set || !cmdDelete_->isEnabled())
        return;
    if (!ConfirmDelete(state_.platform(), QStringLiteral("Record Set"), set->Name()))
        return;
    BusyGuard busy(state_.busy());
    sets_.DeleteRecordSet(set->Id());
    sets_.RefreshRecordSetScreens();
}

QString frmRecordSets_View::SuggestedExportName(const QString& setName) {
    QString name = setName;
    name.remove(QRegularExpression(QStringLiteral("[*\"/:<>?\\\\|]")));
    return name;
}

void frmRecordSets_View::Export() {
    const RecordSet* set = sets_.GetRecordSet(selectedId());
    if (!set || !cmdExport_->isEnabled())
        return;
    const qint32 id = set->Id();
    const QString name = set->Name();
    FileSystem files(state_.platform(), &state_.securityProfile());
    const QString path =
        files.GetFileNameForExport(ExportKind::RecordSet, state_.preferences().RecordIdDir(),
                                   SuggestedExportName(set->Name()));
    if (path.isEmpty())
        return;

    orvane::Channel& channel = state_.channel();
    bool created = false;
    // The server numbers chunks with a signed 16-bit number.
    for (qint32 chunk = 1; chunk <= 32767; ++chunk) {
        BusyGuard busy(state_.busy());
        channel.AddNumericField(QStringLiteral("RSID"), id);
        channel.AddField(QStringLiteral("OI"), state_.session().OperatorId());
        channel.AddField(QStringLiteral("IDYN"), QStringLiteral("Y"));
        channel.AddField(QStringLiteral("CB"), QString::number(chunk));
        if (channel.SendRequest(QStringLiteral("GET_RECORD_SET")) != 0) {
            ShowRecordSetWarning(
                state_.platform(),
                QStringLiteral(
                    "An error occurred while trying to retrieve and save the record set."));
            return;
        }
        const QString ids = channel.GetField(QStringLiteral("RIDC"));
        if (!ids.isEmpty()) {
            bool written = false;
            if (!created) {
                // The first chunk replaces whatever the file held.
                written = files.WriteContentsToFile(path, ids);
                created = written;
            } else {
                QFile file(path);
                written = file.open(QIODevice::WriteOnly | QIODevice::Append) &&
                          file.write((ids + QStringLiteral("\r\n")).toLatin1()) >= 0;
            }
            if (!written) {
                ShowRecordSetWarning(state_.platform(),
                                     QStringLiteral("An error occurred while trying to retrieve "
                                                    "and save the record set."));
                return;
            }
        }
        if (channel.GetNumericField(QStringLiteral("CB")) == 0)
            break;
    }
    // An empty set writes no file, so an old file of that name is not taken
    // for a fresh export.
    if (!created)
        ShowRecordSetWarning(state_.platform(), QStringLiteral("The record set '") + name +
                                                    QStringLiteral("' is empty. Nothing was "
                                                                   "exported."));
}

} // namespace velumar
