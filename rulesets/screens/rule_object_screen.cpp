#include "rule_object_screen.h"

#include "common/messages.h"
#include "grid/grid.h"
#include "grid/grid_helpers.h"
#include "main_window/screen_catalogue.h"
#include "request_channel.h"
#include "rule_screen_kind.h"
#include "rule_sets.h"
#include "security/security_profile.h"
#include "session/busy_state.h"
#include "session/session_state.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
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
    box->setFixedHeight(44);
    return box;
}

QLabel* caption(const QString& text, QWidget* buddy) {
    auto* label = new QLabel(text);
    label->setBuddy(buddy);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

const ScreenEntry& entryOf(const RuleScreenKind& kind) {
    return *FindScreenEntry(QString::fromLatin1(kind.key));
}

} // namespace

RuleObjectScreen::RuleObjectScreen(SessionState& state, const RuleScreenKind& kind, QWidget* parent)
    : FunctionScreen(entryOf(kind).screenName, entryOf(kind).helpContextId, parent), state_(state),
      ruleSets_(state.manager<RuleSets>()), kind_(kind) {
    build();
}

QPushButton* RuleObjectScreen::MakeButton(const char* name, const QString& text) {
    auto* button = new QPushButton(text);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

void RuleObjectScreen::build() {
    vsf_ = new Grid;
    vsf_->setObjectName(QStringLiteral("vsf"));
    vsf_->SetHeadings({QStringLiteral("Name"), QStringLiteral("Description")});
    vsf_->horizontalHeader()->resizeSection(0, 200);
    vsf_->SetChannel(&state_.channel());
    connect(vsf_, &QTableWidget::itemSelectionChanged, this, [this] {
        if (!editing_) {
            showView();
            setButtons();
        }
    });
    connect(vsf_, &QTableWidget::cellDoubleClicked, this, &RuleObjectScreen::Edit);

    cmdNew_ = MakeButton("cmdNew", QStringLiteral("&New"));
    cmdCopy_ = MakeButton("cmdCopy", QStringLiteral("C&opy"));
    cmdEdit_ = MakeButton("cmdEdit", QStringLiteral("&Edit"));
    cmdDelete_ = MakeButton("cmdDelete", QStringLiteral("&Delete"));
    connect(cmdNew_, &QPushButton::clicked, this, &RuleObjectScreen::New);
    connect(cmdCopy_, &QPushButton::clicked, this, &RuleObjectScreen::Copy);
    connect(cmdEdit_, &QPushButton::clicked, this, &RuleObjectScreen::Edit);
    connect(cmdDelete_, &QPushButton::clicked, this, &RuleObjectScreen::Delete);
    listButtons_ = new QVBoxLayout;
    for (QPushButton* button : {cmdNew_, cmdCopy_, cmdEdit_, cmdDelete_})
        listButtons_->addWidget(button);
    auto* buttonColumn = new QVBoxLayout;
    buttonColumn->addLayout(listButtons_);
    buttonColumn->addStretch(1);
    auto* top = new QHBoxLayout;
    top->addWidget(vsf_, 1);
    top->addLayout(buttonColumn);

    fraView_ = new QGroupBox;
    fraView_->setObjectName(QStringLiteral("fraView"));
    lblViewName_ = readOnlyField("lblViewName");
    txtViewDesc_ = descriptionBox("txtViewDesc", true);
    fpModified_ = readOnlyField("fpModified");
    fpModifiedBy_ = readOnlyField("fpModifiedBy");
    auto* view = new QGridLayout(fraView_);
    view->addWidget(caption(QStringLiteral("Name:"), lblViewName_), 0, 0);
    view->addWidget(lblViewName_, 0, 1, 1, 3);
    view->addWidget(caption(QStringLiteral("Description:"), txtViewDesc_), 1, 0,
                    Qt::AlignRight | Qt::AlignTop);
    view->addWidget(txtViewDesc_, 1, 1, 1, 3);
    view->addWidget(caption(QStringLiteral("Last changed:"), fpModified_), 2, 0);
    view->addWidget(fpModified_, 2, 1);
    view->addWidget(caption(QStringLiteral("By:"), fpModifiedBy_), 2, 2);
    view->addWidget(fpModifiedBy_, 2, 3);
    viewBody_ = new QVBoxLayout;
    view->addLayout(viewBody_, 3, 0, 1, 4);
    view->setColumnStretch(1, 1);
    view->setColumnStretch(3, 1);
    view->setRowStretch(4, 1);

    fraEdit_ = new QGroupBox;
    fraEdit_->setObjectName(QStringLiteral("fraEdit"));
    fpName_ = new QLineEdit;
    fpName_->setObjectName(QStringLiteral("fpName"));
    txtDesc_ = descriptionBox("txtDesc", false);
    lblEditModified_ = readOnlyField("lblEditModified");
    cmdSave_ = MakeButton("cmdSave", QStringLiteral("&Save"));
    cmdCancel_ = MakeButton("cmdCancel", QStringLiteral("&Cancel"));
    auto* edit = new QGridLayout(fraEdit_);
    edit->addWidget(caption(QStringLiteral("&Name:"), fpName_), 0, 0);
    edit->addWidget(fpName_, 0, 1);
    edit->addWidget(caption(QStringLiteral("Descri&ption:"), txtDesc_), 1, 0,
                    Qt::AlignRight | Qt::AlignTop);
    edit->addWidget(txtDesc_, 1, 1);
    edit->addWidget(caption(QStringLiteral("Last changed:"), lblEditModified_), 2, 0);
    edit->addWidget(lblEditModified_, 2, 1);
    editBody_ = new QVBoxLayout;
    edit->addLayout(editBody_, 3, 0, 1, 2);
    auto* editButtons = new QHBoxLayout;
    editButtons->addStretch(1);
    editButtons->addWidget(cmdSave_);
    editButtons->addWidget(cmdCancel_);
    edit->addLayout(editButtons, 4, 0, 1, 2);
    edit->setColumnStretch(1, 1);
    edit->setRowStretch(3, 1);
    connect(fpName_, &QLineEdit::textChanged, this,
            [this] { cmdSave_->setEnabled(!fpName_->text().trimmed().isEmpty()); });
    connect(cmdSave_, &QPushButton::clicked, this, &RuleObjectScreen::Save);
    connect(cmdCancel_, &QPushButton::clicked, this, &RuleObjectScreen::Cancel);

    panels_ = new QStackedWidget;
    panels_->addWidget(fraView_);
    panels_->addWidget(fraEdit_);
    Body()->addLayout(top, 2);
    Body()->addSpacing(6);
    Body()->addWidget(panels_, 3);
    // Subclasses set the buttons once they are built.
    panels_->setCurrentWidget(fraView_);
}

bool RuleObjectScreen::MayAdd() const {
    return state_.securityProfile().Has(kind_.add);
}
bool RuleObjectScreen::MayUpdate() const {
    return state_.securityProfile().Has(kind_.update);
}
bool RuleObjectScreen::MayDelete() const {
    return state_.securityProfile().Has(kind_.remove);
}

qint32 RuleObjectScreen::SelectedId() const {
    return GetGridSelection(*vsf_).rowData;
}

void RuleObjectScreen::Activate() {
    if (editing_)
        return;
    BusyGuard busy(state_.busy());
    reload();
}

void RuleObjectScreen::reload(qint32 selectId) {
    if (selectId == -1)
        selectId = SelectedId();
    load();
    {
        const QSignalBlocker quiet(vsf_);
        fill(*vsf_, selectId);
        // The operator always sees an object when there is one.
        if (GetGridSelection(*vsf_).row < 0 && vsf_->rowCount() > 0)
            SelectGridRow(*vsf_, 0, -1);
    }
    showView();
    setButtons();
}

void RuleObjectScreen::showView() {
    const qint32 id = SelectedId();
    const auto object = GetGridSelection(*vsf_).row < 0 ? std::nullopt : shown(id);
    lblViewName_->setText(object ? object->name : QString());
    txtViewDesc_->setPlainText(object ? object->description : QString());
    fpModified_->setText(object ? object->modified : QString());
    fpModifiedBy_->setText(object ? object->modifiedBy : QString());
    showSelected(object ? id : -1);
}

void RuleObjectScreen::setButtons() {
    const bool idle = !editing_;
    const bool selected = GetGridSelection(*vsf_).row >= 0;
    // While the edit panel is open the list and its buttons wait.
    vsf_->setEnabled(idle);
    cmdNew_->setEnabled(idle && MayAdd());
    cmdCopy_->setEnabled(idle && selected && MayAdd());
    cmdEdit_->setEnabled(idle && selected && MayUpdate());
    cmdDelete_->setEnabled(idle && selected && MayDelete());
}

void RuleObjectScreen::openPanel(const QString& title) {
    editing_ = true;
    const Shown object = working();
    fraEdit_->setTitle(title);
    fpName_->setText(object.name);
    txtDesc_->setPlainText(object.description);
    lblEditModified_->setText(object.modifiedBy.isEmpty()
                                  ? object.modified
                                  : object.modified + QStringLiteral("  ") + object.modifiedBy);
    cmdSave_->setEnabled(!object.name.trimmed().isEmpty());
    panels_->setCurrentWidget(fraEdit_);
    setButtons();
    fpName_->setFocus();
}

void RuleObjectScreen::closePanel() {
    editing_ = false;
    panels_->setCurrentWidget(fraView_);
    showView();
    setButtons();
}

void RuleObjectScreen::New() {
    if (!cmdNew_->isEnabled())
        return;
    BusyGuard busy(state_.busy());
    if (prepareNew())
        openPanel(QString::fromLatin1(kind_.newCaption));
}

void RuleObjectScreen::Copy() {
    if (!cmdCopy_->isEnabled())
        return;
    BusyGuard busy(state_.busy());
    if (prepareCopy(SelectedId()))
        openPanel(QString::fromLatin1(kind_.copyCaption));
}

void RuleObjectScreen::Edit() {
    if (!cmdEdit_->isEnabled())
        return;
    BusyGuard busy(state_.busy());
    if (prepareEdit(SelectedId()))
        openPanel(QString::fromLatin1(kind_.editCaption));
}

void RuleObjectScreen::Save() {
    if (!editing_ || !cmdSave_->isEnabled())
        return;
    BusyGuard busy(state_.busy());
    const qint32 id = saveWorking(fpName_->text().trimmed(), txtDesc_->toPlainText().trimmed());
    // On failure the operator has been told; the panel stays for another try.
    if (id <= 0)
        return;
    discardWorking();
    // The list reloaded shows the saved object in the view panel.
    editing_ = false;
    panels_->setCurrentWidget(fraView_);
    reload(id);
}

void RuleObjectScreen::Cancel() {
    if (!editing_)
        return;
    discardWorking();
    closePanel();
}

void RuleObjectScreen::Delete() {
    const auto object = shown(SelectedId());
    if (!object || !cmdDelete_->isEnabled())
        return;
    if (!ConfirmDelete(state_.platform(), QString::fromLatin1(kind_.deleteKind), object->name))
        return;
    BusyGuard busy(state_.busy());
    deleteObject(SelectedId());
    reload();
}

} // namespace velumar
