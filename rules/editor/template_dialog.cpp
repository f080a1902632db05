#include "template_dialog.h"

#include "control_field_inputs.h"
#include "help/help_topics.h"
#include "marc_reference_inputs.h"
#include "platform/platform_services.h"
#include "template_lists.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace velumar {

TemplateDialog::TemplateDialog(PlatformServices& platform, const QString& name,
                               const QString& title, int helpContextId, QWidget* parent)
    : QDialog(parent), platform_(platform), helpContextId_(helpContextId), cboKind_(new QComboBox),
      inputs_(new QVBoxLayout), lblLine_(new QLabel) {
    setObjectName(name);
    setWindowTitle(title);
    setModal(true);
    cboKind_->setObjectName(QStringLiteral("cboKind"));
    cboKind_->setMinimumWidth(280);
    auto* kindRow = new QFormLayout;
    kindRow->addRow(QStringLiteral("&Kind:"), cboKind_);

    auto* lineBox = new QGroupBox(QStringLiteral("Rule line"));
    lblLine_->setObjectName(QStringLiteral("lblLine"));
    lblLine_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblLine_->setTextFormat(Qt::PlainText);
    lblLine_->setWordWrap(true);
    lblLine_->setMinimumHeight(lblLine_->fontMetrics().lineSpacing() * 3);
    lblLine_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont fixed(QStringLiteral("monospace"));
    fixed.setStyleHint(QFont::TypeWriter);
    lblLine_->setFont(fixed);
    (new QVBoxLayout(lineBox))->addWidget(lblLine_);

    auto* buttons = new QDialogButtonBox;
    cmdOK_ = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    cmdOK_->setObjectName(QStringLiteral("cmdOK"));
    cmdOK_->setDefault(true);
    QPushButton* cmdCancel =
        buttons->addButton(QStringLiteral("&Cancel"), QDialogButtonBox::RejectRole);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    connect(cmdOK_, &QPushButton::clicked, this, &TemplateDialog::Confirm);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(kindRow);
    layout->addLayout(inputs_);
    layout->addStretch(1);
    layout->addWidget(lineBox);
    layout->addWidget(buttons);
    // Wide enough for a typical line on one row of the line box.
    setMinimumWidth(520);

    connect(cboKind_, &QComboBox::currentIndexChanged, this, [this] {
        showKind(Kind());
        refresh();
    });
}

void TemplateDialog::addKind(const QString& text, int kind) {
    const QSignalBlocker quiet(cboKind_);
    AddListItem(*cboKind_, text, kind);
    cboKind_->setCurrentIndex(-1);
}

int TemplateDialog::Kind() const {
    return SelectedItemData(*cboKind_);
}

void TemplateDialog::SetKind(int kind) {
    {
        const QSignalBlocker quiet(cboKind_);
        SelectByItemData(*cboKind_, kind);
    }
    showKind(Kind());
    refresh();
}

QString TemplateDialog::LineText() const {
    return lblLine_->text();
}

void TemplateDialog::refresh() {
    // Filling inputs from the object changes them one by one: one line at the end.
    if (refreshing_ || loading_ > 0)
        return;
    refreshing_ = true;
    const bool chosen = Kind() >= 0;
    lblLine_->setText(chosen ? renderedLines().join(QLatin1Char('\n')) : QString());
    cmdOK_->setEnabled(chosen);
    refreshing_ = false;
}

void TemplateDialog::watchInputs() {
    const auto changed = [this] { refresh(); };
    for (auto* edit : findChildren<QLineEdit*>()) {
        // A spin box's own line is watched through the spin box.
        if (!qobject_cast<QAbstractSpinBox*>(edit->parentWidget()))
            connect(edit, &QLineEdit::textChanged, this, changed);
    }
    for (auto* combo : findChildren<QComboBox*>())
        if (combo != cboKind_)
            connect(combo, &QComboBox::currentIndexChanged, this, changed);
    for (auto* button : findChildren<QAbstractButton*>())
        if (button->isCheckable())
            connect(button, &QAbstractButton::toggled, this, changed);
    for (auto* date : findChildren<QDateEdit*>())
        connect(date, &QDateEdit::dateChanged, this, changed);
    for (auto* spin : findChildren<QSpinBox*>())
        connect(spin, &QSpinBox::valueChanged, this, changed);
    for (auto* list : findChildren<QListWidget*>())
        connect(list, &QListWidget::itemSelectionChanged, this, changed);
}

void TemplateDialog::Confirm() {
    if (Kind() < 0)
        return;
    refresh();
    if (check())
        accept();
}

bool TemplateDialog::refuse(const QString& text) {
    Message message;
    message.text = text;
    message.icon = MessageIcon::Exclamation;
    message.parent = this;
    platform_.ShowMessage(message);
    return false;
}

void TemplateDialog::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::HelpContents)) {
        platform_.OpenUrl(HelpTopicUrl(helpContextId_));
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace velumar
