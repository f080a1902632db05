#include "screens/frm_preview_compare.h"

#include "common/form_positioner.h"
#include "main_window/frm_main.h"
#include "preferences/preferences.h"
#include "preview.h"
#include "screens/frm_preview_validation.h"
#include "screens/named_widget.h"
#include "screens/preview_grid.h"
#include "session.h"
#include "session/busy_state.h"
#include "session/session_state.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace velumar {

namespace {

const QString ScreenName = QStringLiteral("frmPreviewCompare");
constexpr QSize MinimumSize(900, 560);
// The message area grows with the messages up to this many lines; the
// rest are a click away in the messages screen.
constexpr int MessageLines = 4;

QWidget* captioned(const QString& caption, QWidget* grid) {
    auto* box = new QWidget;
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* label = new QLabel(caption);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    layout->addWidget(label);
    layout->addWidget(grid, 1);
    return box;
}

} // namespace

frmPreviewCompare::frmPreviewCompare(SessionState& state, QWidget* parent)
    : QWidget(parent, Qt::Window), state_(state), preview_(state.manager<Preview>()) {
    setObjectName(ScreenName);
    setWindowTitle(QStringLiteral("Preview Record"));
    build();
}

void frmPreviewCompare::build() {
    lblRecord_ = Named(new QLabel, "lblRecord");
    QFont heading = lblRecord_->font();
    heading.setBold(true);
    heading.setPointSizeF(heading.pointSizeF() * 1.15);
    lblRecord_->setFont(heading);
    lblRuleSet_ = Named(new QLabel, "lblRuleSet");
    lblPosition_ = Named(new QLabel, "lblPosition");
    lblPosition_->setFont(heading);
    lblPosition_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto* headings = new QHBoxLayout;
    auto* titles = new QVBoxLayout;
    titles->addWidget(lblRecord_);
    titles->addWidget(lblRuleSet_);
    headings->addLayout(titles, 1);
    headings->addWidget(lblPosition_);

    vsfBefore_ = Named(new PreviewGrid, "vsfBefore");
    vsfAfter_ = Named(new PreviewGrid, "vsfAfter");
    PairPreviewGrids(*vsfBefore_, *vsfAfter_);
    auto* grids = new QHBoxLayout;
    grids->addWidget(captioned(QStringLiteral("Before"), vsfBefore_), 1);
    grids->addWidget(captioned(QStringLiteral("After"), vsfAfter_), 1);

    vseMessage_ = Named(new QListWidget, "vseMessage");
    vseMessage_->setSelectionMode(QAbstractItemView::NoSelection);
    vseMessage_->setFocusPolicy(Qt::NoFocus);
    vseMessage_->hide();

    cmdViewMessages_ =
        Named(new QPushButton(QStringLiteral("&View All Messages...")), "cmdViewMessages");
    cmdPrev_ = Named(new QPushButton(QStringLiteral("&Prev Record")), "cmdPrev");
    cmdNext_ = Named(new QPushButton(QStringLiteral("&Next Record")), "cmdNext");
    fpJump_ = Named(new QLineEdit, "fpJump");
    fpJump_->setValidator(new QIntValidator(-999999999, 999999999, this));
    fpJump_->setMaximumWidth(70);
    auto* jumpLabel = new QLabel(QStringLiteral("Jump &ahead:"));
    jumpLabel->setObjectName(QStringLiteral("lblJump"));
    jumpLabel->setBuddy(fpJump_);
    cmdJump_ = Named(new QPushButton(QStringLiteral("&Jump")), "cmdJump");
    cmdRemove_ =
        Named(new QPushButton(QStringLiteral("&Remove this record from set")), "cmdRemove");
    cmdClose_ = Named(new QPushButton(QStringLiteral("&Close")), "cmdClose");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdViewMessages_);
    buttons->addSpacing(16);
    buttons->addWidget(cmdPrev_);
    buttons->addWidget(cmdNext_);
    buttons->addWidget(jumpLabel);
    buttons->addWidget(fpJump_);
    buttons->addWidget(cmdJump_);
    buttons->addWidget(cmdRemove_);
    buttons->addStretch(1);
    buttons->addWidget(cmdClose_);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(headings);
    layout->addLayout(grids, 1);
    layout->addWidget(vseMessage_);
    layout->addLayout(buttons);

    connect(cmdPrev_, &QPushButton::clicked, this, &frmPreviewCompare::PrevRecord);
    connect(cmdNext_, &QPushButton::clicked, this, &frmPreviewCompare::NextRecord);
    connect(cmdJump_, &QPushButton::clicked, this, &frmPreviewCompare::Jump);
    connect(fpJump_, &QLineEdit::returnPressed, this, &frmPreviewCompare::Jump);
    connect(fpJump_, &QLineEdit::textChanged, this, &frmPreviewCompare::setButtons);
    connect(cmdRemove_, &QPushButton::clicked, this, &frmPreviewCompare::RemoveRecord);
    connect(cmdViewMessages_, &QPushButton::clicked, this, &frmPreviewCompare::ViewMessages);
    connect(cmdClose_, &QPushButton::clicked, this, &QWidget::close);
    setControls_ = {cmdPrev_, cmdNext_, jumpLabel, fpJump_, cmdJump_, cmdRemove_};
    resize(MinimumSize);
}

void frmPreviewCompare::ShowPreview() {
    const bool inSet = preview_.InRecordSetMode();
    lblRecord_->setText(
        inSet ? QStringLiteral("Preview Record Set: ") + preview_.GetRecordSet()->Name()
              : QStringLiteral("Preview Record: ") + QString::number(preview_.RecordId()));
    lblRuleSet_->setText(QStringLiteral("Using Rule Set Group: ") + preview_.GetRuleSet().Name);
    lblPosition_->setText(
        inSet
            ? QStringLiteral("Record %1 of %2").arg(preview_.Index()).arg(preview_.RecordSetCount())
            : QString());

    const Preferences& preferences = state_.preferences();
    vsfBefore_->ApplyPreferences(preferences);
    vsfAfter_->ApplyPreferences(preferences);
    vsfBefore_->Fill(preview_.BeforeLines());
    vsfAfter_->Fill(preview_.AfterLines());
    MatchPreviewColumns(*vsfBefore_, *vsfAfter_);

    shownMessages_ = preview_.Messages();
    const QStringList& messages = shownMessages_;
    vseMessage_->clear();
    vseMessage_->addItems(messages);
    const int lines = std::min(static_cast<int>(messages.size()), MessageLines);
    const int lineHeight = vseMessage_->fontMetrics().height() + 4;
    vseMessage_->setFixedHeight(lines * lineHeight + 2 * vseMessage_->frameWidth() + 2);
    vseMessage_->setVisible(lines > 0);
    if (validation_ && validation_->isVisible())
        validation_->ShowMessages(messages);

    for (QWidget* control : setControls_)
        control->setVisible(inSet);
    setButtons();
}

void frmPreviewCompare::setButtons() {
    const qint32 index = preview_.Index();
    const qint32 count = preview_.RecordSetCount();
    const bool inSet = preview_.InRecordSetMode() && count > 0;
    cmdPrev_->setEnabled(inSet && index > 1);
    cmdNext_->setEnabled(inSet && index < count);
    cmdJump_->setEnabled(inSet && fpJump_->text().toInt() != 0);
    cmdRemove_->setEnabled(inSet && index >= 1);
    cmdViewMessages_->setEnabled(!shownMessages_.isEmpty());
}

void frmPreviewCompare::step(qint32 places) {
    ScreenBusyGuard busy(state_.busy(), *this);
    if (preview_.Load(places)) {
        ShowPreview();
        return;
    }
    // A set with nothing left in it shows nothing; any other failure leaves
    // the record the operator was looking at.
    if (preview_.InRecordSetMode() && preview_.RecordSetCount() == 0)
        ShowPreview();
    else
        setButtons();
}

void frmPreviewCompare::PrevRecord() {
    step(-1);
}

void frmPreviewCompare::NextRecord() {
    step(1);
}

void frmPreviewCompare::Jump() {
    if (cmdJump_->isEnabled())
        step(fpJump_->text().toInt());
}

void frmPreviewCompare::RemoveRecord() {
    if (preview_.RemoveRecordFromSet())
        step(0);
}

void frmPreviewCompare::ViewMessages() {
    if (!validation_)
        validation_ = new frmPreviewValidation(this);
    validation_->ShowMessages(shownMessages_);
    validation_->show();
    validation_->raise();
}

void frmPreviewCompare::showEvent(QShowEvent* event) {
    if (!placed_) {
        placed_ = true;
        FormPositioner(state_.session().OperatorId())
            .Restore(*this, ScreenName, MinimumSize,
                     state_.hasMainWindow() ? &state_.mainWindow() : nullptr);
    }
    QWidget::showEvent(event);
}

void frmPreviewCompare::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    MatchPreviewColumns(*vsfBefore_, *vsfAfter_);
}

void frmPreviewCompare::closeEvent(QCloseEvent* event) {
    FormPositioner(state_.session().OperatorId()).Save(*this, ScreenName);
    if (validation_)
        validation_->close();
    QWidget::closeEvent(event);
}

} // namespace velumar
